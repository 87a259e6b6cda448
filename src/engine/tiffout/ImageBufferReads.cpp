#include "engine/samples/ReadDamage.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"

#include <cstring>

namespace pagesmith {

bool readRowBand(TIFF* in, ImageBuffer& band, std::uint32_t firstRow) {
    const auto rowBytes = byteCount(TIFFScanlineSize(in));
    if (TIFFIsTiled(in) || !rowBytes || *rowBytes > band.rowBytes)
        return false;
    PlaneRowFailures failures(in);
    for (std::uint16_t plane = 0; plane < band.planes; ++plane)
        for (std::uint32_t y = 0; y < band.length; ++y) {
            std::memset(band.row(plane, y), 0, band.rowBytes);
            // Unreadable: the row stays blank.
            if (TIFFReadScanline(in, band.row(plane, y), firstRow + y, plane) < 0)
                failures.failed(plane);
        }
    return true;
}

bool readTileBand(TIFF* in, ImageBuffer& band, std::uint32_t firstRow, const TileGrid& grid,
                  std::uint8_t* staging) {
    const tmsize_t wholeTile = TIFFTileSize(in);
    bool whole = std::size_t(wholeTile) == grid.stagingBytes;
    // The rows of a band of tiles count once, however many of its tiles fail.
    std::uint32_t unreadFrom = 0xFFFFFFFFu;
    std::uint32_t unreadRows = 0;
    forEachTile(band, grid, [&](const TilePlacement& place) {
        // What an unreadable tile could not give stays blank.
        std::memset(staging, 0, grid.stagingBytes);
        const bool read =
            TIFFReadTile(in, staging, place.x, firstRow + place.y, 0, place.plane) == wholeTile;
        if (!read && unreadFrom != place.y) {
            unreadFrom = place.y;
            unreadRows += place.rows;
        }
        whole = read && whole;
        for (std::uint32_t r = 0; r < place.rows; ++r)
            std::memcpy(band.row(place.plane, place.y + r) + place.offset,
                        staging + r * grid.tileRowBytes, place.bytes);
        return true;
    });
    noteUnreadRows(in, unreadRows);
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
