#pragma once

#include "base/ByteBuffer.h"

#include <tiffio.h>

#include <cstddef>
#include <cstdint>

namespace pagesmith {

// Hands out the rows of the input's current page as ABGR words through
// libtiff's RGBA reader, a band of rows at a time, in the order the file
// stores them (no flipping by Orientation). For colour encodings that the
// scanline interface does not turn into RGB, such as old-style JPEG.
class RgbaRows {
public:
    explicit RgbaRows(TIFF* in);
    ~RgbaRows();
    RgbaRows(const RgbaRows&) = delete;
    RgbaRows& operator=(const RgbaRows&) = delete;

    bool valid() const { return m_valid; }
    std::uint32_t width() const { return m_width; }
    std::uint32_t length() const { return m_length; }
    // Its band of rows, besides what libtiff's reader holds.
    std::size_t heldBytes() const { return m_band.size() * sizeof(std::uint32_t); }

    // Row `row` as `width` ABGR words, nullptr on a read error.
    const std::uint32_t* readRow(std::uint32_t row);

private:
    TIFFRGBAImage m_image{};
    bool m_begun = false;
    bool m_valid = false;
    std::uint32_t m_width = 0;
    std::uint32_t m_length = 0;
    std::uint32_t m_bandRows = 0;
    std::uint32_t m_bandStart = 0;
    bool m_bandLoaded = false;
    ZeroedBuffer<std::uint32_t> m_band;
};

} // namespace pagesmith
