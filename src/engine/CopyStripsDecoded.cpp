#include "engine/CopyRoutines.h"
#include "engine/CopySupport.h"
#include "engine/DecodeAhead.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace pagesmith {

// Strips of the same height on both sides: each strip is decoded and encoded
// once, under the same strip number. The strips may be decoded ahead on
// other threads while this one encodes.
bool copyStripsDecoded(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                       std::uint16_t samplesPerPixel, CoreBudget* cores) {
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
    ByteBuffer strip(std::max(*inStrip, *outStrip));
    if (!strip)
        return false;

    // The strips that hold rows, and the bytes of each (the last is shorter).
    const tstrip_t strips =
        std::min<tstrip_t>(TIFFNumberOfStrips(in),
                           tstrip_t((std::uint64_t(length) + rowsPerStrip - 1) / rowsPerStrip));
    std::vector<tmsize_t> counts(strips);
    for (tstrip_t s = 0; s < strips; ++s) {
        const std::uint64_t firstRow = std::uint64_t(s) * rowsPerStrip;
        std::optional<std::size_t> bytes = inStrip;
        if (firstRow + rowsPerStrip > length)
            bytes = byteCount(TIFFVStripSize(in, static_cast<std::uint32_t>(length - firstRow)));
        if (!bytes)
            return false;
        counts[s] = static_cast<tmsize_t>(std::min(*bytes, strip.size()));
    }

    DecodeAhead ahead(in, strips, strip.size(), cores,
                      [&counts](TIFF* from, std::uint32_t s, ByteBuffer& into) {
                          return TIFFReadEncodedStrip(from, s, into.data(), counts[s]) == counts[s];
                      });
    for (tstrip_t s = 0; s < strips; ++s) {
        // Read here when no decoder has it whole; an unreadable strip is
        // written as the buffer holds it, which is the strip before.
        if (!ahead.take(s, strip))
            TIFFReadEncodedStrip(in, s, strip.data(), counts[s]);
        if (TIFFWriteEncodedStrip(out, s, strip.data(), counts[s]) < 0)
            return false;
    }
    return true;
}

} // namespace pagesmith
