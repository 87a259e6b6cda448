#pragma once

// Checks and geometry shared by the copy routines. Every buffer a routine uses
// is sized from libtiff's own figures for the file it serves; these checks make
// sure the routine's arguments and the two files agree with those figures
// before any row is indexed.

#include "engine/tiffout/CopyRoutines.h"

#include <tiffio.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pagesmith {

// A libtiff size as a byte count; nothing for 0 or an error.
inline std::optional<std::size_t> byteCount(tmsize_t size) {
    if (size <= 0)
        return std::nullopt;
    return static_cast<std::size_t>(size);
}

std::uint16_t planarConfig(TIFF* tif);

// Rows of the output written at once: a strip, or a row of tiles; between 1
// and `length`.
std::uint32_t outputBandRows(TIFF* out, std::uint32_t length);

// The image buffer has the planes this file's page needs: one for a
// contiguous page, one per sample otherwise; and the page has that layout.
bool imageFitsPlanes(TIFF* tif, const ImageBuffer& image, std::uint16_t planar);

// The file stores its page as tiles (or strips) with this planar configuration.
bool hasLayout(TIFF* tif, bool tiled, std::uint16_t planar);

// Both pages are length x width with spp samples, non-empty, and their rows
// (one plane's row for separate planes) have the same, non-zero size.
bool pagesAgree(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width, std::uint16_t spp);

// The tile layout of a tiled file, checked against the image buffer it is
// copied to or from.
struct TileGrid {
    std::uint32_t tileWidth = 0;
    std::uint32_t tileLength = 0;
    std::size_t tileRowBytes = 0;  // one row of one tile (of one plane)
    std::size_t stagingBytes = 0;  // a whole tile, at least tileLength rows
    std::size_t imageRowBytes = 0; // the part of an image row this file fills
};

std::optional<TileGrid> tileGrid(TIFF* tif, const ImageBuffer& image);

// One tile's place in the image buffer: its rows inside the image and the
// bytes of each of them that fall inside the image row.
struct TilePlacement {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint16_t plane = 0;
    std::uint32_t rows = 0;
    std::size_t offset = 0; // in the image row
    std::size_t bytes = 0;
};

// Walks the tiles in bands of tile rows, left to right, every plane at each
// position; stops at the first tile for which `visit` returns false.
template <typename Visit>
bool forEachTile(const ImageBuffer& image, const TileGrid& grid, Visit&& visit) {
    for (std::uint64_t y = 0; y < image.length; y += grid.tileLength) {
        TilePlacement tile;
        tile.y = static_cast<std::uint32_t>(y);
        tile.rows =
            static_cast<std::uint32_t>(std::min<std::uint64_t>(grid.tileLength, image.length - y));
        std::uint64_t offset = 0;
        for (std::uint64_t x = 0; x < image.width && offset < grid.imageRowBytes;
             x += grid.tileWidth, offset += grid.tileRowBytes) {
            tile.x = static_cast<std::uint32_t>(x);
            tile.offset = static_cast<std::size_t>(offset);
            // The right edge tile reaches past the image row: only its left part is image.
            tile.bytes = std::min<std::size_t>(grid.tileRowBytes, grid.imageRowBytes - tile.offset);
            for (tile.plane = 0; tile.plane < image.planes; ++tile.plane)
                if (!visit(tile))
                    return false;
        }
    }
    return true;
}

// The bytes each strip of a striped page decodes to, for the strips that
// hold rows (the last is shorter), none above `bufferBytes`; nothing when a
// size cannot be had.
std::optional<std::vector<tmsize_t>> stripByteCounts(TIFF* in, std::uint32_t length,
                                                     std::size_t bufferBytes);

// Reads the rows of `band` (band.length rows of a contiguous or separate
// tiled page, from firstRow on, which starts a row of tiles) tile by tile
// through `staging` (grid.stagingBytes). An unreadable tile leaves the
// staging tile as it was, and that is copied. True when every tile was read
// whole, filling the staging tile: then the band depends on nothing read
// before it.
bool readTileBand(TIFF* in, ImageBuffer& band, std::uint32_t firstRow, const TileGrid& grid,
                  std::uint8_t* staging);

// The bytes each strip of a striped page decodes to, for the strips that
// hold rows (the last is shorter), none above `bufferBytes`; nothing when a
// size cannot be had.
std::optional<std::vector<tmsize_t>> stripByteCounts(TIFF* in, std::uint32_t length,
                                                     std::size_t bufferBytes);

// Reads the rows of `band` from firstRow on, scanline by scanline, from a
// striped page; each plane's rows in turn. A row that cannot be read stays
// zero.
bool readRowBand(TIFF* in, ImageBuffer& band, std::uint32_t firstRow);

} // namespace pagesmith
