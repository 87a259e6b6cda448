#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

namespace pagesmith {

namespace {

// The layout of both sides as one number, as the table below is keyed.
constexpr std::uint32_t layoutKey(std::uint32_t inPlanar, std::uint32_t outPlanar, bool inTiled,
                                  bool outTiled, bool sameStripHeight) {
    return (inPlanar << 11) | (outPlanar << 3) | (std::uint32_t(inTiled) << 2) |
           (std::uint32_t(outTiled) << 1) | std::uint32_t(sameStripHeight);
}

constexpr std::uint32_t kContig = PLANARCONFIG_CONTIG;
constexpr std::uint32_t kSeparate = PLANARCONFIG_SEPARATE;

} // namespace

CopyRoutine chooseCopyRoutine(TIFF* in, TIFF* out, std::uint16_t /*bitsPerSample*/,
                              std::uint16_t /*samplesPerPixel*/) {
    const std::uint16_t inPlanar = planarConfig(in);
    const std::uint16_t outPlanar = planarConfig(out);
    const bool inTiled = TIFFIsTiled(in) != 0;
    const bool outTiled = TIFFIsTiled(out) != 0;
    bool sameStripHeight = false;
    if (!inTiled && !outTiled) {
        std::uint32_t inRows = 0xFFFFFFFFu; // no RowsPerStrip: the whole image is one strip
        std::uint32_t outRows = 0;
        TIFFGetField(in, TIFFTAG_ROWSPERSTRIP, &inRows);
        TIFFGetFieldDefaulted(out, TIFFTAG_ROWSPERSTRIP, &outRows);
        sameStripHeight = inRows == outRows;
    }

    switch (layoutKey(inPlanar, outPlanar, inTiled, outTiled, sameStripHeight)) {
    case layoutKey(kContig, kContig, false, false, false):
        return copyRowsContig;
    case layoutKey(kContig, kContig, false, false, true):
        return copyStripsDecoded;
    case layoutKey(kContig, kContig, false, true, false):
        return copyContigStripsToTiles;
    case layoutKey(kContig, kContig, true, false, false):
        return copyContigTilesToStrips;
    case layoutKey(kContig, kContig, true, true, false):
        return copyContigTilesToTiles;
    case layoutKey(kSeparate, kSeparate, false, false, false):
    case layoutKey(kSeparate, kSeparate, false, false, true):
        return copyRowsSeparateToSeparate;
    case layoutKey(kSeparate, kSeparate, false, true, false):
        return copySeparateStripsToTiles;
    case layoutKey(kSeparate, kSeparate, true, false, false):
        return copySeparateTilesToStrips;
    case layoutKey(kSeparate, kSeparate, true, true, false):
        return copySeparateTilesToTiles;
    default:
        return nullptr;
    }
}

} // namespace pagesmith
