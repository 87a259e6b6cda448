#include "engine/CopyRoutines.h"
#include "engine/CopySupport.h"

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
    for (std::uint16_t plane = 0; plane < samplesPerPixel; ++plane)
        for (std::uint32_t y = 0; y < length; ++y) {
            TIFFReadScanline(in, row.data(), y, plane); // unreadable: the row keeps what it held
            if (TIFFWriteScanline(out, row.data(), y, plane) < 0)
                return false;
        }
    return true;
}

} // namespace pagesmith
