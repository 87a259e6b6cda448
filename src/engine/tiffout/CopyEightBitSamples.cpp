#include "engine/tiffout/CopyEightBitSamples.h"

#include "base/SizeMath.h"
#include "engine/samples/EightBitRows.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

#include <algorithm>
#include <cstring>

namespace pagesmith {

// Band by band, so memory follows what one output strip holds, not the size
// the page claims.
bool copyAsEightBitSamples(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width) {
    EightBitRows rows(in);
    if (!rows.valid() || rows.width() != width || rows.length() != length)
        return false;
    const std::uint16_t channels = channelsOf(rows.colour());
    std::uint16_t outputSamples = 0, outputBits = 0;
    TIFFGetFieldDefaulted(out, TIFFTAG_SAMPLESPERPIXEL, &outputSamples);
    TIFFGetFieldDefaulted(out, TIFFTAG_BITSPERSAMPLE, &outputBits);
    const auto rowBytes = checkedMultiply(width, channels);
    if (outputSamples != channels || outputBits != 8 || !rowBytes)
        return false;
    const std::uint32_t bandRows = outputBandRows(out, length);
    ImageBuffer band;
    if (!band.allocate(*rowBytes, width, bandRows, 1))
        return false;

    for (std::uint32_t first = 0; first < length; first += band.length) {
        band.length = std::min(bandRows, length - first);
        for (std::uint32_t r = 0; r < band.length; ++r) {
            const std::uint8_t* samples = rows.row(first + r);
            if (samples)
                std::memcpy(band.row(0, r), samples, *rowBytes);
            else
                std::memset(band.row(0, r), 0, *rowBytes);
        }
        if (!writeContigBand(out, band, first))
            return false;
    }
    return true;
}

} // namespace pagesmith
