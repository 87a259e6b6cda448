#include "base/MemoryLimits.h"
#include "base/SizeMath.h"
#include "engine/samples/ReadDamage.h"
#include "engine/threads/DecodeAhead.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"
#include "engine/tiffout/PagePrefetch.h"
#include "engine/tiffout/ReadAhead.h"

#include <algorithm>
#include <cstring>

namespace pagesmith {

// Strips of the same height on both sides: each strip is decoded and encoded
// once, under the same strip number. The strips may come decoded ahead: the
// whole page while the page before was written (a page of a multi-page file
// or of a merge), or strip by strip on other threads while this one encodes.
bool copyStripsDecoded(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                       std::uint16_t samplesPerPixel, const ReadAhead* ahead) {
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
    if (std::max(*inStrip, *outStrip) > kMostStripBytes)
        return copyRowsContig(in, out, length, width, samplesPerPixel, ahead);
    ByteBuffer strip(std::max(*inStrip, *outStrip));
    if (!strip)
        return false;
    const auto counts = stripByteCounts(in, length, strip.size());
    if (!counts)
        return false;
    const tstrip_t strips = tstrip_t(counts->size());

    // A page that fits is decoded whole while the page before it is written,
    // and the next one while it is; a larger one, strip by strip as it is.
    PagePrefetch* pages = ahead ? ahead->nextPages : nullptr;
    const auto pageBytes = checkedMultiply(strips, strip.size());
    const bool byPages = pages && pageBytes && PagePrefetch::fitsWhole(*pageBytes);
    std::shared_ptr<PrefetchedPage> prefetched =
        byPages ? pages->take(in, *counts, strip.size()) : nullptr;
    // A page encoded ahead is written as it is; the next one is this
    // thread's own, while the other thread takes the one after.
    switch (prefetched ? prefetched->writeEncoded(out) : PrefetchedPage::RawWrite::NotEncoded) {
    case PrefetchedPage::RawWrite::Written:
        return true;
    case PrefetchedPage::RawWrite::Failed:
        return false;
    case PrefetchedPage::RawWrite::NotEncoded:
        break;
    }
    if (byPages)
        pages->decodePageAfter(in);
    DecodeAhead decoders(in, byPages ? 0 : strips, strip.size(), coresOf(ahead),
                         [&counts](TIFF* from, std::uint32_t s, ByteBuffer& into) {
                             const tmsize_t bytes = (*counts)[s];
                             return TIFFReadEncodedStrip(from, s, into.data(), bytes) == bytes;
                         });
    for (tstrip_t s = 0; s < strips; ++s) {
        const tmsize_t bytes = (*counts)[s];
        const bool decodedAhead = prefetched ? prefetched->take(s, strip) : decoders.take(s, strip);
        // What an unreadable strip could not give is written blank.
        if (!decodedAhead) {
            std::memset(strip.data(), 0, std::size_t(bytes));
            if (TIFFReadEncodedStrip(in, s, strip.data(), bytes) != bytes)
                noteUnreadRows(in, std::min<std::uint64_t>(
                                       rowsPerStrip, length - std::uint64_t(s) * rowsPerStrip));
        }
        if (TIFFWriteEncodedStrip(out, s, strip.data(), bytes) < 0)
            return false;
    }
    return true;
}

} // namespace pagesmith
