#pragma once

#include "base/ByteBuffer.h"

#include <tiffio.h>

#include <cstddef>
#include <cstdint>

namespace pagesmith {

// Hands out the rows of the input's current page from top to bottom, as the
// codec decodes them (samples of any size, packed from the high bit), whatever
// its storage: strips or tiles, samples interleaved or in separate planes. It
// holds a row (a band of tile rows for tiled pages, a strip per plane for
// separate planes) besides what the codec keeps, never the page.
class DecodedRows {
public:
    explicit DecodedRows(TIFF* in);

    // False when the page's layout or sizes cannot be read this way.
    bool valid() const { return m_valid; }
    std::uint32_t width() const { return m_width; }
    std::uint32_t length() const { return m_length; }
    // Planes of a row: the samples per pixel for separate planes, else 1.
    std::uint16_t planes() const { return m_planes; }
    // Bytes of one plane's row, its last byte padded.
    std::size_t rowBytes() const { return m_rowBytes; }
    // What it holds besides the codec: its band of rows and a tile.
    std::size_t heldBytes() const { return m_band.size() + m_tile.size(); }

    // Reads row `row` of every plane; rows are best read in order, and may be
    // skipped forward. False on a read error or a row past the end.
    bool readRow(std::uint32_t row);
    // The row last read, of plane `plane`.
    const std::uint8_t* plane(std::uint16_t plane) const;

private:
    enum class Layout { Scanlines, SeparateStrips, Tiles };

    bool loadStrips();
    bool loadTileBand();
    bool readScanline(std::uint32_t row);

    TIFF* m_in;
    bool m_valid = false;
    Layout m_layout = Layout::Scanlines;
    std::uint32_t m_width = 0;
    std::uint32_t m_length = 0;
    std::uint16_t m_planes = 1;
    std::uint16_t m_samplesInRow = 1;
    std::uint16_t m_bitsPerSample = 8;
    std::size_t m_rowBytes = 0;

    // Rows held at once: 1 for scanlines, a strip or a tile row otherwise.
    std::uint32_t m_bandRows = 1;
    std::uint32_t m_bandStart = 0;
    bool m_bandLoaded = false;
    std::uint32_t m_row = 0;
    bool m_rowRead = false;
    std::uint32_t m_rowsPerStrip = 1; // scanlines: rows a strip holds
    ByteBuffer m_band;                // planes one after another
    ByteBuffer m_tile;
    std::uint32_t m_tileWidth = 0;
    std::size_t m_tileRowBytes = 0;
};

// The input's storage unit in rows: a strip, or a row of tiles; between 1
// and `length`.
std::uint32_t storedRows(TIFF* in, std::uint32_t length);

} // namespace pagesmith
