#pragma once

#include "engine/ByteBuffer.h"

#include <tiffio.h>

#include <array>
#include <cstdint>
#include <memory>

namespace pagesmith {

class PageRowReader;
class RgbaRowReader;

// Hands out the rows of the input's current 8-bit colour page as grey, top
// to bottom: RGB (interleaved or in planes), palette, or YCbCr (decoded to
// RGB), each pixel weighed 77/151/29 of 256. A page it cannot take is
// refused with a message on standard error.
class GreyRows {
public:
    explicit GreyRows(TIFF* in);
    ~GreyRows();
    GreyRows(const GreyRows&) = delete;
    GreyRows& operator=(const GreyRows&) = delete;

    bool valid() const { return m_valid; }
    std::uint32_t width() const { return m_width; }
    std::uint32_t length() const { return m_length; }

    // The rows read at once by the page's storage (a strip, a row of tiles),
    // where reading may start without decoding rows before it; 0 when rows
    // come through libtiff's RGBA reader, which reads in order only.
    std::uint32_t rowsPerUnit() const { return m_rowsPerUnit; }

    // Row `row` as `width` grey samples, valid until the next call; nullptr
    // on a read error. Rows are best read in order.
    const std::uint8_t* row(std::uint32_t row);

private:
    enum class Source { RgbContig, RgbSeparate, Palette, Rgba };
    using GrayTable = std::array<std::uint8_t, 256>;

    bool m_valid = false;
    Source m_source = Source::RgbContig;
    std::uint32_t m_width = 0;
    std::uint32_t m_length = 0;
    std::uint32_t m_rowsPerUnit = 0;
    GrayTable m_grays{};
    std::unique_ptr<PageRowReader> m_rows;
    std::unique_ptr<RgbaRowReader> m_rgba;
    ByteBuffer m_grey;
};

// Results of reduceToGray.
constexpr int kGrayWritten = 0;  // the whole grey page is in the scratch file
constexpr int kGrayRefused = -1; // page refused; nothing written to the scratch file
constexpr int kGrayStopped = -2; // a read or write error stopped it part-way

// Writes the input's current page, 8-bit RGB, palette or YCbCr (decoded to
// RGB), as one 8-bit grey page into the scratch file opened for writing.
int reduceToGray(TIFF* in, TIFF* scratch);

} // namespace pagesmith
