#include "engine/tiffout/CopyThroughRgba.h"

#include "base/SizeMath.h"
#include "engine/samples/DecodedRows.h"
#include "engine/samples/RgbaRows.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

#include <algorithm>

namespace pagesmith {

// Band by band, so memory follows what one output strip holds, not the size
// the page claims: a small file may claim a picture of gigabytes.
bool copyThroughRgbaReader(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                           std::uint16_t samplesPerPixel) {
    if (samplesPerPixel != 3 || width == 0 || length == 0)
        return false;
    const auto rowBytes = checkedMultiply(width, 3);
    if (!rowBytes)
        return false;
    const std::uint32_t bandRows = outputBandRows(out, length);
    ImageBuffer band;
    if (!band.allocate(*rowBytes, width, bandRows, 1))
        return false;
    RgbaRows reader(in);
    if (!reader.valid() || reader.width() != width || reader.length() != length)
        return false;

    for (std::uint32_t first = 0; first < length; first += band.length) {
        band.length = std::min(bandRows, length - first);
        for (std::uint32_t r = 0; r < band.length; ++r) {
            // A row the reader cannot decode fails the page.
            const std::uint32_t* abgr = reader.readRow(first + r);
            if (!abgr)
                return false;
            std::uint8_t* rgb = band.row(0, r);
            for (std::uint32_t x = 0; x < width; ++x) {
                *rgb++ = std::uint8_t(TIFFGetR(abgr[x]));
                *rgb++ = std::uint8_t(TIFFGetG(abgr[x]));
                *rgb++ = std::uint8_t(TIFFGetB(abgr[x]));
            }
        }
        if (!writeContigBand(out, band, first))
            return false;
    }
    return true;
}

} // namespace pagesmith
