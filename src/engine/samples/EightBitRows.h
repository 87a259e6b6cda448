#pragma once

#include "base/ByteBuffer.h"
#include "engine/samples/SampleScaling.h"

#include <tiffio.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pagesmith {

class DecodedRows;
class RgbaRows;

// What a page's 8-bit rows hold: grey as brightness, RGB, or CMYK ink amounts.
enum class EightBitColour { Grey, Rgb, Cmyk };

std::uint16_t channelsOf(EightBitColour colour);

// CMYK inks made RGB as libtiff's RGBA reader makes them: each colour is
// what its ink and the black leave of white.
inline void inksToRgb(const std::uint8_t* cmyk, std::uint8_t* rgb) {
    const unsigned white = 255u - cmyk[3];
    for (int c = 0; c < 3; ++c)
        rgb[c] = std::uint8_t(white * (255u - cmyk[c]) / 255u);
}

// How a page is read as 8-bit samples, worked out from its tags alone; or why
// it cannot be.
struct EightBitPlan {
    enum class Source {
        Samples, // decoded rows, each sample scaled to 8 bits
        Palette, // indices looked up in the colour map
        Rgba,    // libtiff's RGBA reader (YCbCr, CIE L*a*b*, LogLuv, old-style JPEG)
    };
    Source source = Source::Samples;
    EightBitColour colour = EightBitColour::Grey;
    SampleCoding coding;
    std::uint16_t samplesPerPixel = 1;
    bool minIsWhite = false;
    int alphaSample = -1;         // the sample holding alpha; -1 for none
    bool alphaAssociated = false; // colours already multiplied by their alpha
    std::string refusal;          // why the page cannot be read so; empty when it can

    explicit operator bool() const { return refusal.empty(); }
};

// The plan for the input's current page; reads its tags and changes nothing.
EightBitPlan planEightBits(TIFF* in);

// The colour map of the input's palette page of `bits`-bit indices as 8-bit
// red, green and blue, one entry an index. A map whose entries all stay
// below 256 was written with 8-bit values; the others are scaled down from
// 16 bits. False when the page has no map.
bool eightBitColourMap(TIFF* in, std::uint16_t bits, std::array<std::vector<std::uint8_t>, 3>& map);

// Hands out the rows of the input's current page as 8-bit samples, top to
// bottom, whatever its sample size, format, colours and storage: grey pages
// as brightness (min-is-white turned round), palette pages through their
// colour map as RGB, RGB as RGB, CMYK as its first four inks; alpha
// composited on white. Holds a row or a band of rows, never the page.
class EightBitRows {
public:
    explicit EightBitRows(TIFF* in);
    ~EightBitRows();
    EightBitRows(const EightBitRows&) = delete;
    EightBitRows& operator=(const EightBitRows&) = delete;

    // False when the page cannot be read so: refusal() then says why, unless
    // the page is damaged (its sizes disagree with its data).
    bool valid() const { return m_valid; }
    const std::string& refusal() const { return m_plan.refusal; }
    EightBitColour colour() const { return m_plan.colour; }
    std::uint32_t width() const { return m_width; }
    std::uint32_t length() const { return m_length; }

    // As GreyRows::rowsPerUnit: rows read at once where reading may start;
    // 0 when they come through the RGBA reader, in order only.
    std::uint32_t rowsPerUnit() const { return m_rowsPerUnit; }

    // What it holds besides the codec: the band its reader holds and a row
    // or two of its own.
    std::size_t heldBytes() const;

    // Row `row` as width x channels samples, valid until the next call;
    // nullptr on a read error. Rows are best read in order.
    const std::uint8_t* row(std::uint32_t row);

private:
    const std::uint8_t* samplesRow();
    const std::uint8_t* paletteRow();
    const std::uint8_t* rgbaRow(std::uint32_t row);
    void compositeOnWhite(const std::uint8_t* alpha);
    // Plane and first sample of sample `sample` in the row last read.
    const std::uint8_t* sampleSource(int sample, std::size_t& first, std::size_t& step) const;

    EightBitPlan m_plan;
    bool m_valid = false;
    std::uint32_t m_width = 0;
    std::uint32_t m_length = 0;
    std::uint32_t m_rowsPerUnit = 0;
    std::unique_ptr<DecodedRows> m_rows;
    std::unique_ptr<RgbaRows> m_rgba;
    std::array<std::vector<std::uint8_t>, 3> m_map; // palette entries as 8-bit red, green, blue
    ByteBuffer m_out;
    ByteBuffer m_alpha;
};

} // namespace pagesmith
