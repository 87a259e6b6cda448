#include "engine/CopyRoutines.h"
#include "engine/CopySupport.h"

#include <algorithm>

namespace pagesmith {

// Strips of the same height on both sides: each strip is decoded and encoded
// once, under the same strip number.
bool copyStripsDecoded(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                       std::uint16_t samplesPerPixel) {
    if (!hasLayout(in, false, PLANARCONFIG_CONTIG) || !hasLayout(out, false, PLANARCONFIG_CONTIG) ||
        !pagesAgree(in, out, length, width, samplesPerPixel))
        return false;
    std::uint32_t rowsPerStrip = 0;
    std::uint32_t outRowsPerStrip = 0;
    TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    TIFFGetFieldDefaulted(out, TIFFTAG_ROWSPERSTRIP, &outRowsPerStrip);
    if (rowsPerStrip == 0 || rowsPerStrip != outRowsPerStrip)
        return false;
    const auto inStrip = byteCount(TIFFStripSize(in));
    const auto outStrip = byteCount(TIFFStripSize(out));
    if (!inStrip || !outStrip)
        return false;
    const ByteBuffer strip(std::max(*inStrip, *outStrip));
    if (!strip)
        return false;

    const tstrip_t strips = TIFFNumberOfStrips(in);
    for (tstrip_t s = 0; s < strips; ++s) {
        const std::uint64_t firstRow = std::uint64_t(s) * rowsPerStrip;
        if (firstRow >= length)
            break;
        std::optional<std::size_t> bytes = inStrip;
        if (firstRow + rowsPerStrip > length) // the last strip is shorter
            bytes = byteCount(TIFFVStripSize(in, static_cast<std::uint32_t>(length - firstRow)));
        if (!bytes)
            return false;
        const tmsize_t count = static_cast<tmsize_t>(std::min(*bytes, strip.size()));
        TIFFReadEncodedStrip(in, s, strip.data(), count); // unreadable: written as the buffer holds
        if (TIFFWriteEncodedStrip(out, s, strip.data(), count) < 0)
            return false;
    }
    return true;
}

} // namespace pagesmith
