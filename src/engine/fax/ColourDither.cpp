#include "engine/fax/ColourDither.h"

#include "base/MemoryLimits.h"
#include "base/SizeMath.h"
#include "engine/fax/Dither.h"
#include "engine/fax/GrayReduction.h"
#include "engine/samples/GreyRows.h"
#include "engine/threads/DecodeAhead.h"

#include <algorithm>
#include <cstring>

namespace pagesmith {

namespace {

bool keptByScratchFile(float resolution) {
    return resolution >= 1e-9f && resolution <= 1e9f;
}

std::optional<std::size_t> bilevelPageBytes(std::uint32_t width, std::uint32_t length) {
    if (length < 2)
        return std::nullopt;
    return checkedMultiply((std::uint64_t(width) + 7) / 8, length - 1);
}

// The tags the grey scratch page would hand the one-bit page: the width, and
// the resolution the common tags copy; no fill order and no orientation.
BilevelSource scratchPageTags(TIFF* in, std::uint32_t width, std::uint32_t length) {
    BilevelSource grey;
    grey.width = width;
    grey.length = length;
    float resolution = 0;
    if (TIFFGetField(in, TIFFTAG_XRESOLUTION, &resolution))
        grey.xResolution = resolution;
    if (TIFFGetField(in, TIFFTAG_YRESOLUTION, &resolution))
        grey.yResolution = resolution;
    std::uint16_t unit = 0;
    if (TIFFGetField(in, TIFFTAG_RESOLUTIONUNIT, &unit))
        grey.resolutionUnit = unit;
    return grey;
}

// Rows of a band a decoding thread reduces: whole storage units of the page,
// so each begins where reading can start.
std::uint32_t bandRowsOf(const GreyRows& grey) {
    const std::uint32_t unit = grey.rowsPerUnit();
    if (unit == 0)
        return 0;
    return std::min(grey.length(), (kLeastDitherBandRows + unit - 1) / unit * unit);
}

} // namespace

bool streamsWithoutScratch(TIFF* in) {
    std::uint32_t width = 0, length = 0;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    const auto bytes = bilevelPageBytes(width, length);
    if (!bytes || *bytes > kMostBilevelPageBytes)
        return false;
    float x = 0, y = 0;
    const bool hasX = TIFFGetField(in, TIFFTAG_XRESOLUTION, &x) != 0;
    const bool hasY = TIFFGetField(in, TIFFTAG_YRESOLUTION, &y) != 0;
    return (!hasX || keptByScratchFile(x)) && (!hasY || keptByScratchFile(y));
}

BilevelOutcome ditherColourPage(TIFF* in, TIFF* out, CompressionMode compressionMode,
                                CoreBudget* cores, std::string* refusal) {
    GreyRows grey(in);
    if (!grey.valid()) {
        if (refusal)
            *refusal = grey.refusal();
        return BilevelOutcome::PageFailed;
    }
    const std::uint32_t width = grey.width();
    const std::uint32_t length = grey.length();
    Diffusion diffusion(width, length, false);
    const auto pageBytes = bilevelPageBytes(width, length);
    ByteBuffer page(pageBytes);
    if (!diffusion.valid() || !page)
        return BilevelOutcome::PageFailed;
    const std::size_t bitRowBytes = diffusion.bitRowBytes();

    // Bands of grey rows, reduced ahead where the budget allows.
    const std::uint32_t bandRows = bandRowsOf(grey);
    const std::uint32_t bands = bandRows == 0 ? 0 : (length + bandRows - 1) / bandRows;
    DecodeAhead ahead(in, bands, std::size_t(bandRows) * width, cores,
                      [&](TIFF* from, std::uint32_t b, ByteBuffer& into) {
                          GreyRows rows(from);
                          const std::uint32_t first = b * bandRows;
                          const std::uint32_t last = std::min(length, first + bandRows);
                          for (std::uint32_t r = first; r < last; ++r) {
                              const std::uint8_t* samples = rows.valid() ? rows.row(r) : nullptr;
                              if (!samples)
                                  return false;
                              std::memcpy(into.data() + std::size_t(r - first) * width, samples,
                                          width);
                          }
                          return true;
                      });
    ByteBuffer band(std::size_t(bandRows) * width);
    bool ownReading = bands == 0;
    for (std::uint32_t r = 0; r < length; ++r) {
        const std::uint8_t* samples = nullptr;
        if (!ownReading) {
            const std::uint32_t offset = r % bandRows;
            if (offset == 0)
                ownReading = !ahead.take(r / bandRows, band);
            if (!ownReading)
                samples = band.data() + std::size_t(offset) * width;
        }
        if (ownReading)
            samples = grey.row(r);
        // The scratch route dithers nothing of a page it cannot read whole.
        if (!samples)
            return BilevelOutcome::PageFailed;
        if (const std::uint8_t* bits = diffusion.feed(samples))
            std::memcpy(page.data() + std::size_t(r - 1) * bitRowBytes, bits, bitRowBytes);
    }

    if (!writeBilevelTags(scratchPageTags(in, width, length), out, compressionMode))
        return BilevelOutcome::PageFailed;
    for (std::uint32_t r = 0; r + 1 < length; ++r)
        if (TIFFWriteScanline(out, page.data() + std::size_t(r) * bitRowBytes, r, 0) < 0)
            return BilevelOutcome::PageFailed;
    return BilevelOutcome::Dithered;
}

} // namespace pagesmith
