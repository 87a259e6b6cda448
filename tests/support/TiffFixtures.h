#pragma once

#include "tiff/TiffHandle.h"

#include <tiffio.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pagesmith::test {

// One page of a fixture file, written with libtiff.
struct TestPage {
    std::uint32_t width = 16;
    std::uint32_t length = 16;
    std::uint16_t bitsPerSample = 8;
    std::uint16_t samplesPerPixel = 1;
    std::uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t planar = PLANARCONFIG_CONTIG;
    std::uint32_t rowsPerStrip = 0; // 0: every row in one strip
    bool tiled = false;
    std::uint32_t tileWidth = 16;
    std::uint32_t tileLength = 16;
    std::int64_t group3Options = -1; // written when not negative
    // YCbCr JPEG pages: the pixels are RGB and the codec converts them.
    bool jpegFromRgb = false;
    // Decoded samples in the page's own layout (see rasterBytes); empty: a
    // pattern from patternPixels.
    std::vector<std::uint8_t> pixels;
    // Called after the standard tags, before any pixel is written.
    std::function<void(TIFF*)> extraTags;

    // Bytes of one row: of the whole pixel row (contiguous), of one plane's
    // row (separate planes).
    std::size_t rowBytes() const;
    // The whole raster: rows top to bottom; separate planes one after another.
    std::size_t rasterBytes() const;
};

// A one-bit min-is-white page, as fax machines and document scanners write.
TestPage faxPage(std::uint32_t width = 64, std::uint32_t length = 32,
                 std::uint16_t compression = COMPRESSION_CCITTFAX4);

// An 8-bit RGB page with interleaved samples.
TestPage rgbPage(std::uint32_t width = 40, std::uint32_t length = 30,
                 std::uint16_t compression = COMPRESSION_LZW);

// A one-bit transparency mask: it has no colours to make grey or RGB of, so
// neither the fax modes nor JPEG take it (the other modes copy it).
TestPage maskPage(std::uint32_t width = 64, std::uint32_t length = 32);
// An 8-bit palette page of one index, whose colour map runs red up, green
// down and blue in steps of 7: every index has a colour of its own.
TestPage palettePage(std::uint32_t width = 40, std::uint32_t length = 30,
                     std::uint16_t compression = COMPRESSION_NONE);

// The report line of such a page, before its failed line.
inline const char* const kMaskRefusal =
    "  -- Bad photometric 4; cannot make grey or colour of it.\r\n";

// A deterministic pattern for a page, with the padding bits of each row clear
// so lossless round trips compare byte for byte.
std::vector<std::uint8_t> patternPixels(const TestPage& page, unsigned seed = 1);

// Writes the pages as one file (fails the current test on a libtiff error).
void writeTiff(const std::filesystem::path& path, const std::vector<TestPage>& pages);
inline void writeTiff(const std::filesystem::path& path, const TestPage& page) {
    writeTiff(path, std::vector<TestPage>{page});
}

// A page as the file holds it, decoded.
struct DecodedPage {
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t samplesPerPixel = 0;
    std::uint16_t photometric = 0;
    std::uint16_t compression = 0;
    std::uint16_t planar = 0;
    bool tiled = false;
    // Decoded samples laid out as TestPage::pixels (strip and tile layout do not
    // matter). YCbCr JPEG pages are decoded to RGB.
    std::vector<std::uint8_t> pixels;
};

// Decodes page `directory` (from 0); fails the current test when it cannot.
DecodedPage readPage(const std::filesystem::path& path, int directory = 0);

// The page through libtiff's RGBA reader, top-left origin, ABGR words.
std::vector<std::uint32_t> readRgba(const std::filesystem::path& path, int directory = 0);

// Number of pages, or -1 when the file does not open as TIFF.
int countPages(const std::filesystem::path& path);

// The file opened for reading, positioned on page `directory`.
TiffHandle openPage(const std::filesystem::path& path, int directory = 0);

// Peak signal-to-noise ratio of two RGBA rasters over R, G and B, in dB
// (infinity when equal).
double psnrRgb(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

} // namespace pagesmith::test
