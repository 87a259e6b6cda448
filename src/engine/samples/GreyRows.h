#pragma once

#include "base/ByteBuffer.h"

#include <tiffio.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace pagesmith {

class EightBitRows;
class DecodedRows;
class RgbaRows;

// Hands out the rows of the input's current page as 8-bit grey, top to
// bottom, colour weighed 77/151/29 of 256: 8-bit RGB (interleaved or in
// planes), palette and YCbCr (decoded to RGB) as they always were, and every
// other page libtiff decodes through its 8-bit samples (EightBitRows): grey
// as brightness, CMYK made RGB first.
class GreyRows {
public:
    explicit GreyRows(TIFF* in);
    ~GreyRows();
    GreyRows(const GreyRows&) = delete;
    GreyRows& operator=(const GreyRows&) = delete;

    bool valid() const { return m_valid; }
    // Why a page that is not valid cannot be made grey; empty when it is
    // damaged rather than of a kind that cannot.
    const std::string& refusal() const { return m_refusal; }
    std::uint32_t width() const { return m_width; }
    std::uint32_t length() const { return m_length; }

    // The rows read at once by the page's storage (a strip, a row of tiles),
    // where reading may start without decoding rows before it; 0 when rows
    // come through libtiff's RGBA reader, which reads in order only.
    std::uint32_t rowsPerUnit() const { return m_rowsPerUnit; }

    // Whether the grey comes from samples made 8-bit, whose stored range,
    // format and extra samples no longer apply.
    bool samplesMadeAnew() const { return m_source == Source::EightBits; }

    // Row `row` as `width` grey samples, valid until the next call; nullptr
    // on a read error. Rows are best read in order.
    const std::uint8_t* row(std::uint32_t row);

private:
    enum class Source { RgbContig, RgbSeparate, Palette, Rgba, EightBits };
    using GrayTable = std::array<std::uint8_t, 256>;

    void readEightBits(TIFF* in);
    const std::uint8_t* eightBitRow(std::uint32_t row);

    bool m_valid = false;
    std::string m_refusal;
    Source m_source = Source::RgbContig;
    std::uint32_t m_width = 0;
    std::uint32_t m_length = 0;
    std::uint32_t m_rowsPerUnit = 0;
    GrayTable m_grays{};
    std::unique_ptr<DecodedRows> m_rows;
    std::unique_ptr<RgbaRows> m_rgba;
    std::unique_ptr<EightBitRows> m_eightBits;
    ByteBuffer m_grey;
};

} // namespace pagesmith
