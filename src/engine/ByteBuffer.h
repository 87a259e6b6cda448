#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

namespace pagesmith {

// Zero-filled bytes for pixel data. Allocated with calloc: a size that
// overflowed or cannot be had leaves the buffer empty instead of throwing, and
// a large buffer is not touched (nor committed) before it is used. Damaged
// pages are written with whatever their buffer holds, so it starts as zeros,
// never as stale heap contents.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::optional<std::size_t> size) {
        if (!size || *size == 0)
            return;
        m_data.reset(static_cast<std::uint8_t*>(std::calloc(*size, 1)));
        if (m_data)
            m_size = *size;
    }

    explicit operator bool() const { return m_data != nullptr; }
    std::uint8_t* data() const { return m_data.get(); }
    std::size_t size() const { return m_size; }

private:
    struct Free {
        void operator()(std::uint8_t* bytes) const { std::free(bytes); }
    };
    std::unique_ptr<std::uint8_t, Free> m_data;
    std::size_t m_size = 0;
};

} // namespace pagesmith
