#pragma once

#include "base/ByteBuffer.h"
#include "engine/samples/EightBitRows.h"

#include <tiffio.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace pagesmith {

// Hands out the rows of the input's current page as a screen shows them,
// read by the rules the conversion to grey reads them by (EightBitRows), in
// colour: grey pages as one 8-bit brightness a pixel (min-is-white turned
// round), every other page as 8-bit RGB (palette through its colour map,
// CMYK as libtiff's RGBA reader makes it RGB, alpha composited on white).
// Holds a row or a band of rows, never the page.
class DisplayRows {
public:
    explicit DisplayRows(TIFF* in);

    // False when the page cannot be read so: refusal() then says why, unless
    // the page is damaged (its sizes disagree with its data).
    bool valid() const { return m_valid; }
    const std::string& refusal() const { return m_rows.refusal(); }
    std::uint32_t width() const { return m_rows.width(); }
    std::uint32_t length() const { return m_rows.length(); }
    // 1 for grey, 3 for RGB.
    std::uint16_t channels() const { return m_channels; }
    // As EightBitRows::rowsPerUnit.
    std::uint32_t rowsPerUnit() const { return m_rows.rowsPerUnit(); }
    // What it holds besides the codec.
    std::size_t heldBytes() const { return m_rows.heldBytes() + m_rgb.size(); }

    // Row `row` as width x channels samples, valid until the next call;
    // nullptr on a read error. Rows are best read in order.
    const std::uint8_t* row(std::uint32_t row);

private:
    EightBitRows m_rows;
    bool m_valid = false;
    std::uint16_t m_channels = 1;
    ByteBuffer m_rgb; // CMYK rows made RGB
};

} // namespace pagesmith
