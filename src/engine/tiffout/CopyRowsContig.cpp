#include "engine/samples/ReadDamage.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

#include <cstring>

namespace pagesmith {

// Strips of different heights on the two sides: rows are the common unit.
bool copyRowsContig(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                    std::uint16_t samplesPerPixel, const ReadAhead* /*ahead*/) {
    if (!hasLayout(in, false, PLANARCONFIG_CONTIG) || !hasLayout(out, false, PLANARCONFIG_CONTIG) ||
        !pagesAgree(in, out, length, width, samplesPerPixel))
        return false;
    // One scanline; pagesAgree made it the size both libtiff calls use.
    const ByteBuffer row(byteCount(TIFFScanlineSize(in)));
    if (!row)
        return false;
    PlaneRowFailures failures(in);
    for (std::uint32_t y = 0; y < length; ++y) {
        std::memset(row.data(), 0, row.size());
        if (TIFFReadScanline(in, row.data(), y, 0) < 0)
            failures.failed(0); // written blank
        if (TIFFWriteScanline(out, row.data(), y, 0) < 0)
            return false;
    }
    return true;
}

} // namespace pagesmith
