#include "engine/tiffout/CopySupport.h"

#include "base/MemoryLimits.h"
#include "base/SizeMath.h"

#include <algorithm>

namespace pagesmith {

std::uint16_t planarConfig(TIFF* tif) {
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    return planar;
}

std::uint32_t outputBandRows(TIFF* out, std::uint32_t length) {
    std::uint32_t rows = 0;
    if (TIFFIsTiled(out))
        TIFFGetField(out, TIFFTAG_TILELENGTH, &rows);
    else
        TIFFGetFieldDefaulted(out, TIFFTAG_ROWSPERSTRIP, &rows);
    return std::clamp<std::uint32_t>(rows, 1, length);
}

bool imageFitsPlanes(TIFF* tif, const ImageBuffer& image, std::uint16_t planar) {
    std::uint16_t spp = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &spp);
    const std::uint16_t planes = planar == PLANARCONFIG_SEPARATE ? spp : 1;
    return image.bytes && image.planes == planes && planarConfig(tif) == planar;
}

bool hasLayout(TIFF* tif, bool tiled, std::uint16_t planar) {
    return (TIFFIsTiled(tif) != 0) == tiled && planarConfig(tif) == planar;
}

namespace {

bool describes(TIFF* tif, std::uint32_t length, std::uint32_t width, std::uint16_t spp) {
    std::uint32_t fileLength = 0;
    std::uint32_t fileWidth = 0;
    std::uint16_t fileSpp = 1;
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &fileLength);
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &fileWidth);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &fileSpp);
    return fileLength == length && fileWidth == width && fileSpp == spp;
}

} // namespace

bool pagesAgree(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width, std::uint16_t spp) {
    if (length == 0 || width == 0 || spp == 0)
        return false;
    if (!describes(in, length, width, spp) || !describes(out, length, width, spp))
        return false;
    // The same rows on both sides: a row read from the input is exactly what
    // the output's encoder takes (differing YCbCr subsampling, say, would not be).
    const auto inRow = byteCount(TIFFScanlineSize(in));
    const auto outRow = byteCount(TIFFScanlineSize(out));
    return inRow && outRow && *inRow == *outRow;
}

std::optional<std::vector<tmsize_t>> stripByteCounts(TIFF* in, std::uint32_t length,
                                                     std::size_t bufferBytes) {
    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    const auto stripBytes = byteCount(TIFFStripSize(in));
    if (rowsPerStrip == 0 || !stripBytes)
        return std::nullopt;
    const tstrip_t strips =
        std::min<tstrip_t>(TIFFNumberOfStrips(in),
                           tstrip_t((std::uint64_t(length) + rowsPerStrip - 1) / rowsPerStrip));
    // A count per strip: the header says how many, so the cap holds here too.
    const auto listBytes = checkedMultiply(strips, sizeof(tmsize_t));
    if (!listBytes || *listBytes > kMaxAllocationBytes)
        return std::nullopt;
    std::vector<tmsize_t> counts(strips);
    for (tstrip_t s = 0; s < strips; ++s) {
        const std::uint64_t firstRow = std::uint64_t(s) * rowsPerStrip;
        std::optional<std::size_t> bytes = stripBytes;
        if (firstRow + rowsPerStrip > length)
            bytes = byteCount(TIFFVStripSize(in, static_cast<std::uint32_t>(length - firstRow)));
        if (!bytes)
            return std::nullopt;
        counts[s] = static_cast<tmsize_t>(std::min(*bytes, bufferBytes));
    }
    return counts;
}

std::optional<TileGrid> tileGrid(TIFF* tif, const ImageBuffer& image) {
    TileGrid grid;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &grid.tileWidth);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &grid.tileLength);
    const auto rowBytes = byteCount(TIFFTileRowSize(tif));
    const auto tileBytes = byteCount(TIFFTileSize(tif));
    const auto imageRowBytes = byteCount(TIFFScanlineSize(tif));
    if (grid.tileWidth == 0 || grid.tileLength == 0 || !rowBytes || !tileBytes || !imageRowBytes)
        return std::nullopt;
    // Tile rows are indexed as tileLength rows of tileRowBytes; libtiff's tile
    // size can be smaller (subsampled YCbCr), so the staging tile covers both.
    const auto rowsBytes = checkedMultiply(*rowBytes, grid.tileLength);
    if (!rowsBytes)
        return std::nullopt;
    grid.tileRowBytes = *rowBytes;
    grid.stagingBytes = std::max(*tileBytes, *rowsBytes);
    grid.imageRowBytes = std::min(*imageRowBytes, image.rowBytes);
    return grid;
}

} // namespace pagesmith
