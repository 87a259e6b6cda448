#include "engine/CopyRoutines.h"
#include "engine/CopySupport.h"

#include <cstring>

namespace pagesmith {

namespace {

// Scanlines straight into the buffer, plane after plane: each strip is
// decoded once, whatever order the planes' strips have in the file.
bool readRows(TIFF* in, ImageBuffer& image) {
    const auto rowBytes = byteCount(TIFFScanlineSize(in));
    if (TIFFIsTiled(in) || !rowBytes || *rowBytes > image.rowBytes)
        return false;
    for (std::uint16_t plane = 0; plane < image.planes; ++plane)
        for (std::uint32_t y = 0; y < image.length; ++y)
            TIFFReadScanline(in, image.row(plane, y), y, plane); // unreadable: the row stays
    return true;
}

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
    return forEachTile(image, *grid, [&](const TilePlacement& place) {
        // An unreadable tile leaves the staging tile as it was, and that is copied.
        TIFFReadTile(in, tile.data(), place.x, place.y, 0, place.plane);
        for (std::uint32_t r = 0; r < place.rows; ++r)
            std::memcpy(image.row(place.plane, place.y + r) + place.offset,
                        tile.data() + r * grid->tileRowBytes, place.bytes);
        return true;
    });
}

} // namespace

bool readContigStrips(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_CONTIG) && readRows(in, image);
}

bool readSeparateStrips(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_SEPARATE) && readRows(in, image);
}

bool readContigTiles(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_CONTIG) && readTiles(in, image);
}

bool readSeparateTiles(TIFF* in, ImageBuffer& image) {
    return imageFitsPlanes(in, image, PLANARCONFIG_SEPARATE) && readTiles(in, image);
}

} // namespace pagesmith
