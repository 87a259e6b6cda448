#include "support/PageWriters.h"

#include "tiff/TiffHandle.h"

#include <algorithm>
#include <cstring>

namespace pagesmith::bench {

std::uint32_t nextNoise(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

void documentFaxRow(std::vector<std::uint8_t>& row, std::uint32_t width, std::uint32_t y,
                    int page) {
    std::fill(row.begin(), row.end(), 0);
    const std::uint32_t line = (y + std::uint32_t(page) * 7) % 40;
    const bool rule = (y + std::uint32_t(page) * 97) % 700 == 0;
    if (y < 120 || y > 2080 || (!rule && line >= 24))
        return;
    std::uint32_t noise = 2166136261u ^ (y / 3) * 16777619u ^ std::uint32_t(page) * 7919u;
    for (std::uint32_t x = 100; x < width - 100;) {
        const std::uint32_t word = 20 + nextNoise(noise) % 90;
        for (std::uint32_t i = 0; i < word && x + i < width - 100; ++i)
            if (rule || ((x + i) / 3 + y / 4 + word) % 4 != 0) // glyph-like strokes
                row[(x + i) / 8] |= std::uint8_t(0x80 >> ((x + i) % 8));
        x += word + 15 + nextNoise(noise) % 25;
    }
}

void letterFaxRow(std::vector<std::uint8_t>& row, std::uint32_t width, std::uint32_t y, int page) {
    std::fill(row.begin(), row.end(), 0);
    const std::uint32_t length = kFaxLength;
    if (y < 150 || y > length - 150 || (y + std::uint32_t(page) * 11) % 36 >= 22)
        return;
    std::uint32_t state = 2166136261u ^ ((y / 4) * 16777619u) ^ (std::uint32_t(page) * 7919u);
    for (std::uint32_t x = 120; x < width - 120;) {
        state = state * 1103515245u + 12345u;
        const std::uint32_t word = 24 + (state >> 16) % 80;
        for (std::uint32_t i = x; i < std::min(x + word, width - 120); ++i)
            row[i / 8] |= std::uint8_t(0x80 >> (i % 8));
        x += word + 16;
    }
}

bool writeFaxFile(const std::string& path, FaxRowPainter paint, int pages,
                  std::uint32_t rowsPerStrip, int firstPage) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    std::vector<std::uint8_t> row(kFaxWidth / 8);
    for (int page = 0; page < pages; ++page) {
        TIFF* tif = file.get();
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kFaxWidth);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kFaxLength);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 204.0);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 196.0);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, page, pages);
        for (std::uint32_t y = 0; y < kFaxLength; ++y) {
            paint(row, kFaxWidth, y, firstPage + page);
            if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(tif))
            return false;
    }
    return true;
}

void startRgbPage(TIFF* tif, std::uint32_t width, std::uint32_t length) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
}

namespace {

void setRgb(std::vector<std::uint8_t>& rgb, std::uint32_t x, int r, int g, int b) {
    rgb[std::size_t(x) * 3 + 0] = std::uint8_t(std::clamp(r, 0, 255));
    rgb[std::size_t(x) * 3 + 1] = std::uint8_t(std::clamp(g, 0, 255));
    rgb[std::size_t(x) * 3 + 2] = std::uint8_t(std::clamp(b, 0, 255));
}

} // namespace

void photoRow(std::vector<std::uint8_t>& rgb, std::uint32_t width, std::uint32_t y) {
    std::uint32_t noise = 2463534242u ^ y * 2654435761u;
    for (std::uint32_t x = 0; x < width; ++x) {
        const int grain = int(nextNoise(noise) & 7) - 4;
        setRgb(rgb, x, int(60 + 150 * x / width + (y / 40) % 30) + grain,
               int(40 + (x / 3 + y / 2) % 160) + grain,
               int(200 - 120 * y / 8192 + (x / 50) % 20) + grain);
    }
}

void letterRow(std::vector<std::uint8_t>& rgb, std::uint32_t width, std::uint32_t length,
               std::uint32_t y, int page) {
    std::uint32_t noise = 2166136261u ^ (y * 16777619u) ^ std::uint32_t(page * 7919);
    const std::uint32_t margin = width / 12;
    const bool photoRows = y > length / 2 && y < length / 2 + length / 5;
    const bool logoRows = y > length / 20 && y < length / 20 + length / 25;
    const std::uint32_t line = (y + std::uint32_t(page) * 13) % 50;
    const bool textRow = !photoRows && y > length / 8 && line < 30;
    for (std::uint32_t x = 0; x < width; ++x) {
        const int grain = int(nextNoise(noise) & 15) - 8;
        int r = 246, g = 244, b = 238; // paper
        if (photoRows && x > margin && x < width - margin) {
            r = int(90 + 120 * x / width) + grain;
            g = int(60 + 150 * (y % 400) / 400) + grain;
            b = int(150 - 100 * x / width) + grain;
        } else if (logoRows && x > margin && x < margin + width / 6) {
            r = 200, g = 30, b = 40;
        } else if (textRow && x > margin && x < width - margin) {
            // Glyph-sized dark marks with gaps between words.
            const std::uint32_t cell = (x + y / 3 + std::uint32_t(page) * 31) % 37;
            if (cell < 22 && ((x / 7 + line) % 3) != 0)
                r = g = b = 30 + (grain & 15);
        }
        setRgb(rgb, x, r, g, b);
    }
}

void startLetterPage(TIFF* tif, std::uint32_t width, std::uint32_t length, int page, int pages) {
    startRgbPage(tif, width, length);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    TIFFSetField(tif, TIFFTAG_PAGENUMBER, page, pages);
}

bool writeLetterDocument(const std::string& path, int pages, std::uint32_t width,
                         std::uint32_t length) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (int page = 0; page < pages; ++page) {
        startLetterPage(file.get(), width, length, page, pages);
        for (std::uint32_t y = 0; y < length; ++y) {
            letterRow(row, width, length, y, page);
            if (TIFFWriteScanline(file.get(), row.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(file.get()))
            return false;
    }
    return true;
}

bool writePhoto(const std::string& path, std::uint32_t width, std::uint32_t length,
                std::uint32_t rowsPerStrip, std::uint16_t compression) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    startRgbPage(file.get(), width, length);
    if (compression == COMPRESSION_JPEG) {
        TIFFSetField(file.get(), TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
        TIFFSetField(file.get(), TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
        TIFFSetField(file.get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    }
    TIFFSetField(file.get(), TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (std::uint32_t y = 0; y < length; ++y) {
        photoRow(row, width, y);
        if (TIFFWriteScanline(file.get(), row.data(), y, 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(file.get()) != 0;
}

bool writeTiledPhoto(const std::string& path, std::uint32_t size, std::uint32_t tile) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    startRgbPage(file.get(), size, size);
    TIFFSetField(file.get(), TIFFTAG_TILEWIDTH, tile);
    TIFFSetField(file.get(), TIFFTAG_TILELENGTH, tile);
    const std::size_t rowBytes = std::size_t(size) * 3;
    std::vector<std::uint8_t> band(rowBytes * tile);
    std::vector<std::uint8_t> row(rowBytes);
    std::vector<std::uint8_t> buffer(std::size_t(tile) * tile * 3);
    for (std::uint32_t y0 = 0; y0 < size; y0 += tile) {
        for (std::uint32_t r = 0; r < tile; ++r) {
            photoRow(row, size, y0 + r);
            std::copy(row.begin(), row.end(), band.begin() + std::ptrdiff_t(r * rowBytes));
        }
        for (std::uint32_t x0 = 0; x0 < size; x0 += tile) {
            for (std::uint32_t r = 0; r < tile; ++r)
                std::memcpy(buffer.data() + std::size_t(r) * tile * 3,
                            band.data() + r * rowBytes + std::size_t(x0) * 3,
                            std::size_t(tile) * 3);
            if (TIFFWriteTile(file.get(), buffer.data(), x0, y0, 0, 0) < 0)
                return false;
        }
    }
    return TIFFWriteDirectory(file.get()) != 0;
}

} // namespace pagesmith::bench
