#include "engine/CopyRoutines.h"
#include "engine/CopySupport.h"

#include <cstring>

namespace pagesmith {

bool readRowBand(TIFF* in, ImageBuffer& band, std::uint32_t firstRow) {
    const auto rowBytes = byteCount(TIFFScanlineSize(in));
    if (TIFFIsTiled(in) || !rowBytes || *rowBytes > band.rowBytes)
        return false;
    for (std::uint16_t plane = 0; plane < band.planes; ++plane)
        for (std::uint32_t y = 0; y < band.length; ++y) {
            std::memset(band.row(plane, y), 0, band.rowBytes);
            TIFFReadScanline(in, band.row(plane, y), firstRow + y, plane); // unreadable: stays 0
        }
    return true;
}

bool readTileBand(TIFF* in, ImageBuffer& band, std::uint32_t firstRow, const TileGrid& grid,
                  std::uint8_t* staging) {
    const tmsize_t wholeTile = TIFFTileSize(in);
    bool whole = std::size_t(wholeTile) == grid.stagingBytes;
    forEachTile(band, grid, [&](const TilePlacement& place) {
        // An unreadable tile leaves the staging tile as it was, and that is copied.
        whole =
            TIFFReadTile(in, staging, place.x, firstRow + place.y, 0, place.plane) == wholeTile &&
            whole;
        for (std::uint32_t r = 0; r < place.rows; ++r)
            std::memcpy(band.row(place.plane, place.y + r) + place.offset,
                        staging + r * grid.tileRowBytes, place.bytes);
        return true;
    });
    return whole;
}

namespace {

// Each tile through one staging tile into its place in the buffer; the part
// of an edge tile outside the image is dropped.
bool readTiles(TIFF* in, ImageBuffer& image) {
    if (!TIFFIsTiled(in))
        return false;
    const auto grid = tileGrid(in, image);
    if (!grid)
        return false;
    const ByteBuffer tile(grid->stagingBytes);
    if (!tile)
        return false;
    readTileBand(in, image, 0, *grid, tile.data());
    return true;
}

} // namespace

bool readContigStrips(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_CONTIG) && readRowBand(in, image, 0);
}

bool readSeparateStrips(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_SEPARATE) && readRowBand(in, image, 0);
}

bool readContigTiles(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_CONTIG) && readTiles(in, image);
}

bool readSeparateTiles(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_SEPARATE) && readTiles(in, image);
}

} // namespace pagesmith
