#include "engine/samples/DecodedRows.h"

#include "base/MemoryLimits.h"
#include "base/SizeMath.h"
#include "engine/samples/ReadDamage.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace pagesmith {

namespace {

// No TIFF sample is wider than a double.
constexpr std::uint16_t kWidestSampleBits = 64;

// Bytes of a row of `samples` samples of `bits` bits, packed from the high bit.
std::optional<std::size_t> packedBytes(std::uint64_t pixels, std::uint64_t samples,
                                       std::uint16_t bits) {
    const auto rowBits = checkedMultiply(pixels, samples, bits);
    if (!rowBits)
        return std::nullopt;
    return (*rowBits + 7) / 8;
}

template <typename T> bool allocate(ZeroedBuffer<T>& buffer, std::optional<std::size_t> count) {
    buffer = ZeroedBuffer<T>(count);
    return static_cast<bool>(buffer);
}

} // namespace

DecodedRows::DecodedRows(TIFF* in) : m_in(in) {
    if (!in)
        return;
    std::uint16_t bitsPerSample = 1, samplesPerPixel = 1, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetFieldDefaulted(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetFieldDefaulted(in, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &m_width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &m_length);
    if (bitsPerSample == 0 || bitsPerSample > kWidestSampleBits || samplesPerPixel == 0 ||
        m_width == 0 || m_length == 0)
        return;

    const bool separate = planar == PLANARCONFIG_SEPARATE && samplesPerPixel > 1;
    m_planes = separate ? samplesPerPixel : 1;
    m_samplesInRow = separate ? 1 : samplesPerPixel;
    m_bitsPerSample = bitsPerSample;
    const auto rowBytes = packedBytes(m_width, m_samplesInRow, bitsPerSample);
    if (!rowBytes)
        return;
    m_rowBytes = *rowBytes;

    if (TIFFIsTiled(in)) {
        std::uint32_t tileLength = 0;
        TIFFGetField(in, TIFFTAG_TILEWIDTH, &m_tileWidth);
        TIFFGetField(in, TIFFTAG_TILELENGTH, &tileLength);
        if (m_tileWidth == 0 || tileLength == 0)
            return;
        const auto tileRowBytes = packedBytes(m_tileWidth, m_samplesInRow, bitsPerSample);
        const auto tileBytes =
            tileRowBytes ? checkedMultiply(*tileRowBytes, tileLength) : std::nullopt;
        // A codec that hands out fewer bytes (subsampled YCbCr) does not fit,
        // nor do tiles whose rows of packed samples end inside a byte.
        if (!tileRowBytes || !tileBytes || std::uint64_t(TIFFTileSize64(in)) < *tileBytes ||
            (std::uint64_t(m_tileWidth) * m_samplesInRow * bitsPerSample) % 8 != 0)
            return;
        m_tileRowBytes = *tileRowBytes;
        m_layout = Layout::Tiles;
        m_bandRows = std::min(tileLength, m_length);
        m_valid = allocate(m_tile, std::size_t(TIFFTileSize64(in))) &&
                  allocate(m_band, checkedMultiply(m_planes, m_bandRows, m_rowBytes));
        return;
    }

    if (separate) {
        // Reading scanline by scanline would restart the codec of each plane's
        // strip at every row; a strip per plane is decoded once instead.
        std::uint32_t rowsPerStrip = m_length;
        TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        m_layout = Layout::SeparateStrips;
        m_bandRows = std::clamp<std::uint32_t>(rowsPerStrip, 1, m_length);
        m_valid = allocate(m_band, checkedMultiply(m_planes, m_bandRows, m_rowBytes));
        return;
    }

    const std::uint64_t scanlineSize = std::uint64_t(TIFFScanlineSize64(in));
    if (scanlineSize < m_rowBytes)
        return;
    m_layout = Layout::Scanlines;
    m_rowsPerStrip = storedRows(in, m_length);
    m_valid = allocate(m_band, std::size_t(scanlineSize));
}

bool DecodedRows::readRow(std::uint32_t row) {
    if (!m_valid || row >= m_length)
        return false;
    switch (m_layout) {
    case Layout::Scanlines:
        if (!readScanline(row)) {
            noteUnreadRows(m_in, 1);
            return false;
        }
        break;
    case Layout::SeparateStrips:
    case Layout::Tiles:
        if (!m_bandLoaded || row < m_bandStart || row - m_bandStart >= m_bandRows) {
            m_bandLoaded = false;
            m_bandStart = row - row % m_bandRows;
            if (!(m_layout == Layout::Tiles ? loadTileBand() : loadStrips())) {
                noteUnreadRows(m_in, 1);
                return false;
            }
            m_bandLoaded = true;
        }
        break;
    }
    m_row = row;
    m_rowRead = true;
    return true;
}

// Most codecs cannot start a strip anywhere but at its first row: the rows
// skipped in a strip are decoded on the way, as libtiff reads them in order.
bool DecodedRows::readScanline(std::uint32_t row) {
    const std::uint32_t stripStart = row - row % m_rowsPerStrip;
    std::uint32_t next = stripStart;
    if (m_rowRead && m_row < row && m_row >= stripStart)
        next = m_row + 1;
    for (; next < row; ++next)
        if (TIFFReadScanline(m_in, m_band.data(), next, 0) <= 0)
            return false;
    return TIFFReadScanline(m_in, m_band.data(), row, 0) > 0;
}

const std::uint8_t* DecodedRows::plane(std::uint16_t plane) const {
    if (m_layout == Layout::Scanlines)
        return m_band.data();
    return m_band.data() + (std::size_t(plane) * m_bandRows + (m_row - m_bandStart)) * m_rowBytes;
}

bool DecodedRows::loadStrips() {
    const std::uint32_t rows = std::min(m_bandRows, m_length - m_bandStart);
    const tmsize_t wanted = tmsize_t(rows * m_rowBytes);
    for (std::uint16_t p = 0; p < m_planes; ++p) {
        std::uint8_t* target = m_band.data() + std::size_t(p) * m_bandRows * m_rowBytes;
        const tstrip_t strip = TIFFComputeStrip(m_in, m_bandStart, p);
        if (TIFFReadEncodedStrip(m_in, strip, target, wanted) != wanted)
            return false;
    }
    return true;
}

bool DecodedRows::loadTileBand() {
    const std::uint32_t rows = std::min(m_bandRows, m_length - m_bandStart);
    for (std::uint16_t p = 0; p < m_planes; ++p) {
        std::uint8_t* planeBand = m_band.data() + std::size_t(p) * m_bandRows * m_rowBytes;
        for (std::uint32_t x = 0; x < m_width; x += m_tileWidth) {
            if (TIFFReadTile(m_in, m_tile.data(), x, m_bandStart, 0, p) < 0)
                return false;
            const std::size_t offset = std::size_t(x) * m_samplesInRow * m_bitsPerSample / 8;
            const std::size_t count = std::min(m_tileRowBytes, m_rowBytes - offset);
            for (std::uint32_t r = 0; r < rows; ++r)
                std::memcpy(planeBand + r * m_rowBytes + offset, m_tile.data() + r * m_tileRowBytes,
                            count);
        }
    }
    return true;
}

std::uint32_t storedRows(TIFF* in, std::uint32_t length) {
    std::uint32_t rows = length;
    if (TIFFIsTiled(in))
        TIFFGetField(in, TIFFTAG_TILELENGTH, &rows);
    else
        TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rows);
    return std::clamp<std::uint32_t>(rows, 1, length);
}

} // namespace pagesmith
