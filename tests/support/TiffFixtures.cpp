#include "support/TiffFixtures.h"

#include "platform/Utf8Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace pagesmith::test {

namespace {

std::size_t bytesForBits(std::uint64_t bits) {
    return static_cast<std::size_t>((bits + 7) / 8);
}

std::uint16_t planesOf(const TestPage& page) {
    return page.planar == PLANARCONFIG_SEPARATE ? page.samplesPerPixel : 1;
}

// Zeroes the bits after the last sample of each row.
void clearRowPadding(const TestPage& page, std::vector<std::uint8_t>& raster) {
    const std::uint64_t samplesPerRow =
        std::uint64_t(page.width) *
        (page.planar == PLANARCONFIG_SEPARATE ? 1 : page.samplesPerPixel);
    const std::uint64_t usedBits = samplesPerRow * page.bitsPerSample;
    const unsigned spare = static_cast<unsigned>(page.rowBytes() * 8 - usedBits);
    if (spare == 0)
        return;
    const std::uint8_t keep = static_cast<std::uint8_t>(0xFF << spare);
    for (std::size_t row = 0; row < std::size_t(page.length) * planesOf(page); ++row)
        raster[(row + 1) * page.rowBytes() - 1] &= keep;
}

// Copies a rectangle of rows between a plane raster and a tile buffer.
void tileRows(const TestPage& page, std::uint8_t* plane, std::uint8_t* tile, std::uint32_t x0,
              std::uint32_t y0, bool toTile) {
    const std::size_t samples = page.planar == PLANARCONFIG_SEPARATE ? 1 : page.samplesPerPixel;
    const std::size_t pixelBits = samples * page.bitsPerSample;
    const std::size_t tileRowBytes = bytesForBits(pixelBits * page.tileWidth);
    const std::size_t offset = bytesForBits(pixelBits * x0); // tiles start on byte boundaries
    const std::size_t available = page.rowBytes() > offset ? page.rowBytes() - offset : 0;
    const std::size_t count = std::min(tileRowBytes, available);
    for (std::uint32_t r = 0; r < page.tileLength && y0 + r < page.length; ++r) {
        std::uint8_t* imageRow = plane + (y0 + r) * page.rowBytes() + offset;
        std::uint8_t* tileRow = tile + r * tileRowBytes;
        if (toTile)
            std::memcpy(tileRow, imageRow, count);
        else
            std::memcpy(imageRow, tileRow, count);
    }
}

bool writePixels(TIFF* tif, const TestPage& page, std::vector<std::uint8_t>& raster) {
    const std::size_t planeBytes = page.rowBytes() * page.length;
    if (page.tiled) {
        const tmsize_t tileSize = TIFFTileSize(tif);
        std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileSize));
        for (std::uint16_t plane = 0; plane < planesOf(page); ++plane)
            for (std::uint32_t y = 0; y < page.length; y += page.tileLength)
                for (std::uint32_t x = 0; x < page.width; x += page.tileWidth) {
                    std::fill(tile.begin(), tile.end(), 0);
                    tileRows(page, raster.data() + plane * planeBytes, tile.data(), x, y, true);
                    if (TIFFWriteTile(tif, tile.data(), x, y, 0, plane) < 0)
                        return false;
                }
        return true;
    }
    const std::uint32_t rowsPerStrip = page.rowsPerStrip ? page.rowsPerStrip : page.length;
    tstrip_t strip = 0;
    for (std::uint16_t plane = 0; plane < planesOf(page); ++plane)
        for (std::uint32_t y = 0; y < page.length; y += rowsPerStrip, ++strip) {
            const std::uint32_t rows = std::min(rowsPerStrip, page.length - y);
            std::uint8_t* data = raster.data() + plane * planeBytes + y * page.rowBytes();
            if (TIFFWriteEncodedStrip(tif, strip, data, tmsize_t(rows * page.rowBytes())) < 0)
                return false;
        }
    return true;
}

} // namespace

std::size_t TestPage::rowBytes() const {
    const std::uint64_t samples = planar == PLANARCONFIG_SEPARATE ? 1 : samplesPerPixel;
    return bytesForBits(std::uint64_t(width) * samples * bitsPerSample);
}

std::size_t TestPage::rasterBytes() const {
    return rowBytes() * length * planesOf(*this);
}

TestPage faxPage(std::uint32_t width, std::uint32_t length, std::uint16_t compression) {
    TestPage page;
    page.width = width;
    page.length = length;
    page.bitsPerSample = 1;
    page.photometric = PHOTOMETRIC_MINISWHITE;
    page.compression = compression;
    return page;
}

TestPage rgbPage(std::uint32_t width, std::uint32_t length, std::uint16_t compression) {
    TestPage page;
    page.width = width;
    page.length = length;
    page.samplesPerPixel = 3;
    page.photometric = PHOTOMETRIC_RGB;
    page.compression = compression;
    return page;
}

TestPage palettePage(std::uint32_t width, std::uint32_t length, std::uint16_t compression) {
    TestPage page;
    page.width = width;
    page.length = length;
    page.compression = compression;
    page.photometric = PHOTOMETRIC_PALETTE;
    page.extraTags = [](TIFF* tif) {
        std::vector<std::uint16_t> red(256), green(256), blue(256);
        for (int i = 0; i < 256; ++i) {
            red[i] = std::uint16_t(i * 257);
            green[i] = std::uint16_t((255 - i) * 257);
            blue[i] = std::uint16_t((i * 7 % 256) * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    };
    return page;
}

TestPage maskPage(std::uint32_t width, std::uint32_t length) {
    TestPage page = faxPage(width, length, COMPRESSION_PACKBITS);
    page.photometric = PHOTOMETRIC_MASK;
    return page;
}

std::vector<std::uint8_t> patternPixels(const TestPage& page, unsigned seed) {
    std::vector<std::uint8_t> raster(page.rasterBytes());
    std::uint32_t state = 2463534242u ^ (seed * 2654435761u);
    for (std::size_t i = 0; i < raster.size(); ++i) {
        // Smooth enough to compress, varied enough to catch misplaced bytes.
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const std::size_t row = i / std::max<std::size_t>(1, page.rowBytes());
        raster[i] = static_cast<std::uint8_t>((i * 7 + row * 3) ^ (state & 0x0F));
    }
    clearRowPadding(page, raster);
    return raster;
}

void writeTiff(const std::filesystem::path& path, const std::vector<TestPage>& pages) {
    TiffHandle file(platform::utf8FromPath(path), "w");
    ASSERT_TRUE(file) << "cannot create " << path;
    TIFF* tif = file.get();
    for (const TestPage& page : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.length);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, page.bitsPerSample);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, page.samplesPerPixel);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, page.photometric);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, page.planar);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, page.compression);
        if (page.group3Options >= 0)
            TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, std::uint32_t(page.group3Options));
        if (page.jpegFromRgb)
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        if (page.tiled) {
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, page.tileWidth);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, page.tileLength);
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                         page.rowsPerStrip ? page.rowsPerStrip : page.length);
        }
        if (page.extraTags)
            page.extraTags(tif);
        std::vector<std::uint8_t> raster = page.pixels.empty() ? patternPixels(page) : page.pixels;
        ASSERT_EQ(raster.size(), page.rasterBytes()) << "pixel data does not fit the page";
        ASSERT_TRUE(writePixels(tif, page, raster)) << "cannot write the pixels of " << path;
        ASSERT_TRUE(TIFFWriteDirectory(tif)) << "cannot write a directory of " << path;
    }
}

TiffHandle openPage(const std::filesystem::path& path, int directory) {
    TiffHandle file(platform::utf8FromPath(path), "r");
    if (file && !TIFFSetDirectory(file.get(), tdir_t(directory)))
        file.close();
    return file;
}

DecodedPage readPage(const std::filesystem::path& path, int directory) {
    DecodedPage decoded;
    TiffHandle file = openPage(path, directory);
    EXPECT_TRUE(file) << "cannot open page " << directory << " of " << path;
    if (!file)
        return decoded;
    TIFF* tif = file.get();
    TIFFGetFieldDefaulted(tif, TIFFTAG_IMAGEWIDTH, &decoded.width);
    TIFFGetFieldDefaulted(tif, TIFFTAG_IMAGELENGTH, &decoded.length);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &decoded.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &decoded.samplesPerPixel);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &decoded.photometric);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &decoded.compression);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &decoded.planar);
    decoded.tiled = TIFFIsTiled(tif);
    if (decoded.compression == COMPRESSION_JPEG && decoded.photometric == PHOTOMETRIC_YCBCR)
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);

    TestPage layout;
    layout.width = decoded.width;
    layout.length = decoded.length;
    layout.bitsPerSample = decoded.bitsPerSample;
    layout.samplesPerPixel = decoded.samplesPerPixel;
    layout.planar = decoded.planar;
    decoded.pixels.assign(layout.rasterBytes(), 0);
    const std::size_t planeBytes = layout.rowBytes() * layout.length;
    const std::uint16_t planes = planesOf(layout);

    if (decoded.tiled) {
        TIFFGetField(tif, TIFFTAG_TILEWIDTH, &layout.tileWidth);
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &layout.tileLength);
        std::vector<std::uint8_t> tile(static_cast<std::size_t>(TIFFTileSize(tif)));
        for (std::uint16_t plane = 0; plane < planes; ++plane)
            for (std::uint32_t y = 0; y < layout.length; y += layout.tileLength)
                for (std::uint32_t x = 0; x < layout.width; x += layout.tileWidth) {
                    EXPECT_GE(TIFFReadTile(tif, tile.data(), x, y, 0, plane), 0)
                        << "tile " << x << "," << y << " of " << path;
                    tileRows(layout, decoded.pixels.data() + plane * planeBytes, tile.data(), x, y,
                             false);
                }
        return decoded;
    }
    EXPECT_EQ(std::size_t(TIFFScanlineSize(tif)), layout.rowBytes()) << path;
    std::vector<std::uint8_t> row(
        std::max<std::size_t>(layout.rowBytes(), std::size_t(TIFFScanlineSize(tif))));
    for (std::uint16_t plane = 0; plane < planes; ++plane)
        for (std::uint32_t y = 0; y < layout.length; ++y) {
            EXPECT_GE(TIFFReadScanline(tif, row.data(), y, plane), 0)
                << "row " << y << " of " << path;
            std::memcpy(decoded.pixels.data() + plane * planeBytes + y * layout.rowBytes(),
                        row.data(), layout.rowBytes());
        }
    return decoded;
}

std::vector<std::uint32_t> readRgba(const std::filesystem::path& path, int directory) {
    TiffHandle file = openPage(path, directory);
    EXPECT_TRUE(file) << "cannot open page " << directory << " of " << path;
    if (!file)
        return {};
    std::uint32_t width = 0, length = 0;
    TIFFGetField(file.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(file.get(), TIFFTAG_IMAGELENGTH, &length);
    std::vector<std::uint32_t> raster(std::size_t(width) * length);
    EXPECT_TRUE(
        TIFFReadRGBAImageOriented(file.get(), width, length, raster.data(), ORIENTATION_TOPLEFT, 0))
        << "RGBA decoding of " << path;
    return raster;
}

int countPages(const std::filesystem::path& path) {
    TiffHandle file(platform::utf8FromPath(path), "r");
    if (!file)
        return -1;
    return TIFFNumberOfDirectories(file.get());
}

double psnrRgb(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size() || a.empty())
        return 0.0;
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int dr = int(TIFFGetR(a[i])) - int(TIFFGetR(b[i]));
        const int dg = int(TIFFGetG(a[i])) - int(TIFFGetG(b[i]));
        const int db = int(TIFFGetB(a[i])) - int(TIFFGetB(b[i]));
        sum += dr * dr + dg * dg + db * db;
    }
    if (sum == 0.0)
        return std::numeric_limits<double>::infinity();
    const double mse = sum / (3.0 * double(a.size()));
    return 10.0 * std::log10(255.0 * 255.0 / mse);
}

} // namespace pagesmith::test
