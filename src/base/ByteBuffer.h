#pragma once

#include "base/MemoryLimits.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <optional>

namespace pagesmith {

// Zero-filled elements for pixel data, the one way the engine allocates them.
// Allocated with calloc: a size that overflowed, exceeds kMaxAllocationBytes or
// cannot be had leaves the buffer empty instead of throwing, and a large
// buffer is not touched (nor committed) before it is used. Damaged pages are
// written with whatever their buffer holds, so it starts as zeros, never as
// stale heap contents.
template <typename T> class ZeroedBuffer {
public:
    ZeroedBuffer() = default;
    explicit ZeroedBuffer(std::optional<std::size_t> count) {
        if (!count || *count == 0 || *count > kMaxAllocationBytes / sizeof(T))
            return;
        m_data.reset(static_cast<T*>(std::calloc(*count, sizeof(T))));
        if (m_data)
            m_size = *count;
    }

    explicit operator bool() const { return m_data != nullptr; }
    T* data() const { return m_data.get(); }
    std::size_t size() const { return m_size; }
    T& operator[](std::size_t index) const { return m_data.get()[index]; }

private:
    struct Free {
        void operator()(T* elements) const { std::free(elements); }
    };
    std::unique_ptr<T, Free> m_data;
    std::size_t m_size = 0;
};

using ByteBuffer = ZeroedBuffer<std::uint8_t>;

} // namespace pagesmith
