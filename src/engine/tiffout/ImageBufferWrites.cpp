#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

#include <algorithm>
#include <cstring>

namespace pagesmith {

namespace {

// The rows of a strip lie one after another in the buffer, so each strip is
// encoded straight from it. The buffer holds the page's rows from firstRow on,
// which starts a strip.
bool writeStrips(TIFF* out, const ImageBuffer& image, std::uint32_t firstRow = 0) {
    std::uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(out, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    const auto rowBytes = byteCount(TIFFScanlineSize(out));
    if (TIFFIsTiled(out) || rowsPerStrip == 0 || firstRow % rowsPerStrip != 0 || !rowBytes ||
        *rowBytes != image.rowBytes)
        return false;
    for (std::uint16_t plane = 0; plane < image.planes; ++plane)
        for (std::uint64_t y = 0; y < image.length; y += rowsPerStrip) {
            const auto row = static_cast<std::uint32_t>(y);
            const std::uint32_t rows =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(rowsPerStrip, image.length - y));
            const auto bytes = byteCount(TIFFVStripSize(out, rows));
            if (!bytes)
                return false;
            // Never past the plane's last row, whatever libtiff counts for the strip.
            const std::size_t left = std::size_t(image.length - row) * image.rowBytes;
            const tmsize_t count = static_cast<tmsize_t>(std::min(*bytes, left));
            if (TIFFWriteEncodedStrip(out, TIFFComputeStrip(out, firstRow + row, plane),
                                      image.row(plane, row), count) < 0)
                return false;
        }
    return true;
}

// Each tile gathered into one staging tile. Edge tiles are padded with
// zeros, so the output does not depend on the previous tile. The buffer holds
// the page's rows from firstRow on, which starts a row of tiles.
bool writeTiles(TIFF* out, const ImageBuffer& image, std::uint32_t firstRow = 0) {
    if (!TIFFIsTiled(out))
        return false;
    const auto grid = tileGrid(out, image);
    if (!grid || firstRow % grid->tileLength != 0)
        return false;
    const ByteBuffer tile(grid->stagingBytes);
    if (!tile)
        return false;
    return forEachTile(image, *grid, [&](const TilePlacement& place) {
        if (place.rows < grid->tileLength || place.bytes < grid->tileRowBytes)
            std::memset(tile.data(), 0, tile.size());
        for (std::uint32_t r = 0; r < place.rows; ++r)
            std::memcpy(tile.data() + r * grid->tileRowBytes,
                        image.row(place.plane, place.y + r) + place.offset, place.bytes);
        return TIFFWriteTile(out, tile.data(), place.x, firstRow + place.y, 0, place.plane) >= 0;
    });
}

} // namespace

bool writeContigStrips(TIFF* out, const ImageBuffer& image) {
    return imageFitsPlanes(out, image, PLANARCONFIG_CONTIG) && writeStrips(out, image);
}

bool writeSeparateStrips(TIFF* out, const ImageBuffer& image) {
    return imageFitsPlanes(out, image, PLANARCONFIG_SEPARATE) && writeStrips(out, image);
}

bool writeContigTiles(TIFF* out, const ImageBuffer& image) {
    return imageFitsPlanes(out, image, PLANARCONFIG_CONTIG) && writeTiles(out, image);
}

bool writeSeparateTiles(TIFF* out, const ImageBuffer& image) {
    return imageFitsPlanes(out, image, PLANARCONFIG_SEPARATE) && writeTiles(out, image);
}

bool writeBand(TIFF* out, const ImageBuffer& band, std::uint32_t firstRow) {
    if (!imageFitsPlanes(out, band, planarConfig(out)))
        return false;
    return TIFFIsTiled(out) ? writeTiles(out, band, firstRow) : writeStrips(out, band, firstRow);
}

bool writeContigBand(TIFF* out, const ImageBuffer& band, std::uint32_t firstRow) {
    return planarConfig(out) == PLANARCONFIG_CONTIG && writeBand(out, band, firstRow);
}

} // namespace pagesmith
