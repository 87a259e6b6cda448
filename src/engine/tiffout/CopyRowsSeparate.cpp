#include "engine/samples/ReadDamage.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

#include <cstring>

namespace pagesmith {

// Separate planes in strips on both sides: each plane row by row, the first
// plane complete first, so strips of any height on either side line up.
bool copyRowsSeparateToSeparate(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                                std::uint16_t samplesPerPixel, const ReadAhead* /*ahead*/) {
    if (!hasLayout(in, false, PLANARCONFIG_SEPARATE) ||
        !hasLayout(out, false, PLANARCONFIG_SEPARATE) ||
        !pagesAgree(in, out, length, width, samplesPerPixel))
        return false;
    const ByteBuffer row(byteCount(TIFFScanlineSize(in))); // one plane's row
    if (!row)
        return false;
    PlaneRowFailures failures(in);
    for (std::uint16_t plane = 0; plane < samplesPerPixel; ++plane)
        for (std::uint32_t y = 0; y < length; ++y) {
            std::memset(row.data(), 0, row.size());
            if (TIFFReadScanline(in, row.data(), y, plane) < 0)
                failures.failed(plane); // written blank
            if (TIFFWriteScanline(out, row.data(), y, plane) < 0)
                return false;
        }
    return true;
}

} // namespace pagesmith
