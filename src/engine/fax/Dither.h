#pragma once

#include "base/ByteBuffer.h"
#include "engine/CompressionChoice.h"

#include <tiffio.h>

#include <cstdint>
#include <optional>
#include <string>

namespace pagesmith {

// Results of ditherToBilevel.
constexpr int kDitherWritten = 0;  // every row of the one-bit page is written
constexpr int kDitherRefused = -1; // page refused or no input; nothing written
constexpr int kDitherStopped = -2; // a read or write error stopped it part-way

// Floyd-Steinberg dithers the input's current 8-bit grey page into a one-bit
// page of the output (Group 3 or Group 4 by the compression mode), one row
// shorter than the input: the last row only carries errors. The output
// directory is left for the caller to write. Refused for a mode that is not
// Group 3 or Group 4; a page that is not one 8-bit sample leaves the reason in
// `refusal`, when given.
int ditherToBilevel(TIFF* in, TIFF* out, CompressionMode compressionMode,
                    std::string* refusal = nullptr);

// Floyd-Steinberg diffusion of a grey page fed to it row by row, in order:
// from the second row on, each row gives back the one-bit row before it (a
// set bit is white); the last row only carries errors.
class Diffusion {
public:
    // `invert`: min-is-white samples, dithered by their brightness.
    Diffusion(std::uint32_t width, std::uint32_t length, bool invert);

    bool valid() const { return m_current && m_next && m_bits; }
    std::size_t bitRowBytes() const { return m_bits.size(); }

    // Takes the next grey row (width samples); nullptr for the first,
    // otherwise the one-bit row before it, valid until the next call.
    const std::uint8_t* feed(const std::uint8_t* grey);

private:
    std::uint32_t m_width;
    std::uint32_t m_length;
    bool m_invert;
    std::uint32_t m_row = 0;
    ZeroedBuffer<std::int16_t> m_current, m_next;
    ByteBuffer m_bits;
};

// The tags of the one-bit page that come from its grey page: the width and
// these, each when the grey page has it.
struct BilevelSource {
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    std::optional<std::uint16_t> fillOrder;
    std::optional<std::uint16_t> orientation;
    std::optional<float> xResolution;
    std::optional<float> yResolution;
    std::optional<std::uint16_t> resolutionUnit;
};

// Writes the tags of the one-bit page ditherToBilevel makes of such a grey
// page (ImageLength one row less); false for a mode that is not a fax mode.
bool writeBilevelTags(const BilevelSource& grey, TIFF* out, CompressionMode compressionMode);

} // namespace pagesmith
