#include "base/MemoryLimits.h"
#include "base/SizeMath.h"
#include "engine/threads/DecodeAhead.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"
#include "engine/tiffout/ReadAhead.h"

#include <algorithm>
#include <numeric>

namespace pagesmith {

// Copies that change between tiles and strips, or between tile sizes: a
// band of rows at a time, never the whole image. A band is whole rows of
// tiles on both sides (and whole output strips), so every tile and strip is
// read and written exactly as the whole-image copy does, in the same order.

namespace {

// Rows in a band: a multiple of both unit heights, never more than the page;
// 0 when the band would be too large. A page larger than one buffer may hold
// goes the whole-image way and fails, as it always has.
std::uint32_t bandRows(std::uint32_t inputRows, std::uint32_t outputRows, std::uint32_t length,
                       std::size_t bytesPerRow) {
    const auto pageBytes = checkedMultiply(bytesPerRow, length);
    if (inputRows == 0 || outputRows == 0 || !pageBytes || *pageBytes > kMaxAllocationBytes)
        return 0;
    const std::uint64_t rows =
        std::min<std::uint64_t>(std::lcm<std::uint64_t>(inputRows, outputRows), length);
    const auto bytes = checkedMultiply(rows, bytesPerRow);
    return bytes && *bytes <= kMostBandBytes ? std::uint32_t(rows) : 0;
}

std::uint32_t tileLengthOf(TIFF* tif) {
    std::uint32_t rows = 0;
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &rows);
    return rows;
}

// Rows of an output unit: a row of tiles or a strip.
std::uint32_t outputRowsOf(TIFF* out) {
    if (TIFFIsTiled(out))
        return tileLengthOf(out);
    std::uint32_t rows = 0;
    TIFFGetFieldDefaulted(out, TIFFTAG_ROWSPERSTRIP, &rows);
    return rows;
}

// The band layout of a tiled input page bound for `out`; nothing when the
// page goes the whole-image way.
struct Bands {
    std::size_t rowBytes = 0; // one plane's row
    std::uint16_t planes = 1;
    std::uint32_t rows = 0; // in a band but the last
};

std::optional<Bands> bandsFor(TIFF* in, TIFF* out, std::uint32_t length, std::uint16_t planes) {
    Bands bands;
    bands.rowBytes = *byteCount(TIFFScanlineSize(in));
    bands.planes = planes;
    bands.rows =
        bandRows(tileLengthOf(in), outputRowsOf(out), length, bands.rowBytes * std::size_t(planes));
    if (bands.rows == 0)
        return std::nullopt;
    return bands;
}

// Reads the tiles band by band, decoding ahead on other threads where the
// budget allows, and writes each band to the output.
bool copyTileBands(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                   const Bands& layout, const ReadAhead* ahead) {
    ImageBuffer band;
    if (!band.allocate(layout.rowBytes, width, layout.rows, layout.planes))
        return false;
    const auto grid = tileGrid(in, band);
    if (!grid)
        return false;
    const ByteBuffer staging(grid->stagingBytes);
    if (!staging)
        return false;

    const std::uint32_t rows = layout.rows;
    const std::uint32_t bands = (length + rows - 1) / rows;
    auto rowsOfBand = [rows, length](std::uint32_t b) { return std::min(rows, length - b * rows); };
    DecodeAhead decoders(in, bands, band.bytes.size(), coresOf(ahead),
                         [&](TIFF* from, std::uint32_t b, ByteBuffer& into) {
                             ImageBuffer decoded;
                             decoded.bytes = std::move(into);
                             decoded.rowBytes = layout.rowBytes;
                             decoded.width = width;
                             decoded.length = rowsOfBand(b);
                             decoded.planes = layout.planes;
                             // Each decoder has a staging tile of its own.
                             const ByteBuffer tile(grid->stagingBytes);
                             const bool whole =
                                 tile && readTileBand(from, decoded, b * rows, *grid, tile.data());
                             into = std::move(decoded.bytes);
                             return whole;
                         });
    for (std::uint32_t b = 0; b < bands; ++b) {
        // Planes lie one after another in the band: its length sets where.
        band.length = rowsOfBand(b);
        if (!decoders.take(b, band.bytes)) {
            // The staging tile as a one-thread copy leaves it after the band before.
            if (decoders.handsOverAt(b)) {
                band.length = rowsOfBand(b - 1);
                readTileBand(in, band, (b - 1) * rows, *grid, staging.data());
                band.length = rowsOfBand(b);
            }
            readTileBand(in, band, b * rows, *grid, staging.data());
        }
        if (!writeBand(out, band, b * rows))
            return false;
    }
    return true;
}

bool tilesToBands(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                  std::uint16_t samplesPerPixel, std::uint16_t planar, bool toTiles,
                  ImageWriter wholeImageWriter, const ReadAhead* ahead) {
    if (!pagesAgree(in, out, length, width, samplesPerPixel) || !hasLayout(in, true, planar) ||
        !hasLayout(out, toTiles, planar))
        return false;
    const std::uint16_t planes = planar == PLANARCONFIG_SEPARATE ? samplesPerPixel : 1;
    const auto layout = bandsFor(in, out, length, planes);
    if (!layout)
        return copyThroughImageBuffer(planar == PLANARCONFIG_SEPARATE ? readSeparateTiles
                                                                      : readContigTiles,
                                      wholeImageWriter, in, out, length, width, samplesPerPixel);
    return copyTileBands(in, out, length, width, *layout, ahead);
}

} // namespace

bool copyContigTilesToStrips(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                             std::uint16_t samplesPerPixel, const ReadAhead* ahead) {
    return tilesToBands(in, out, length, width, samplesPerPixel, PLANARCONFIG_CONTIG, false,
                        writeContigStrips, ahead);
}

bool copyContigTilesToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                            std::uint16_t samplesPerPixel, const ReadAhead* ahead) {
    return tilesToBands(in, out, length, width, samplesPerPixel, PLANARCONFIG_CONTIG, true,
                        writeContigTiles, ahead);
}

// Separate planes keep their tiles at each position together on both sides,
// so they go by bands too. (To strips, every strip of the first plane comes
// before the second: that copy holds the whole image.)
bool copySeparateTilesToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                              std::uint16_t samplesPerPixel, const ReadAhead* ahead) {
    return tilesToBands(in, out, length, width, samplesPerPixel, PLANARCONFIG_SEPARATE, true,
                        writeSeparateTiles, ahead);
}

// Rows are read in order, so each input strip is decoded once.
bool copyContigStripsToTiles(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                             std::uint16_t samplesPerPixel, const ReadAhead* /*ahead*/) {
    if (!pagesAgree(in, out, length, width, samplesPerPixel) ||
        !hasLayout(in, false, PLANARCONFIG_CONTIG) || !hasLayout(out, true, PLANARCONFIG_CONTIG))
        return false;
    const std::size_t rowBytes = *byteCount(TIFFScanlineSize(in));
    const std::uint32_t rows = bandRows(tileLengthOf(out), 1, length, rowBytes);
    if (rows == 0)
        return copyThroughImageBuffer(readContigStrips, writeContigTiles, in, out, length, width,
                                      samplesPerPixel);
    ImageBuffer band;
    if (!band.allocate(rowBytes, width, rows, 1))
        return false;
    for (std::uint32_t first = 0; first < length; first += rows) {
        band.length = std::min(rows, length - first);
        if (!readRowBand(in, band, first) || !writeContigBand(out, band, first))
            return false;
    }
    return true;
}

} // namespace pagesmith
