#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pagesmith::bench {

// The next value of a small xorshift generator: grain and variety that every
// run makes the same.
std::uint32_t nextNoise(std::uint32_t& state);

// ---- Fax pages: 1728 x 2200, one bit, Group 4 -------------------------------

constexpr std::uint32_t kFaxWidth = 1728;
constexpr std::uint32_t kFaxLength = 2200;

// Draws row `y` of fax page `page` (one bit per pixel, black set), so that
// every page differs.
using FaxRowPainter = void (*)(std::vector<std::uint8_t>& row, std::uint32_t width, std::uint32_t y,
                               int page);

// A typed document: margins, lines of glyph-like strokes, a rule now and then.
void documentFaxRow(std::vector<std::uint8_t>& row, std::uint32_t width, std::uint32_t y, int page);

// A typed letter: lines of solid word-sized black runs.
void letterFaxRow(std::vector<std::uint8_t>& row, std::uint32_t width, std::uint32_t y, int page);

// A file of `pages` fax pages in strips of `rowsPerStrip` rows; the first page
// is drawn as page `firstPage`, so single-page files can differ too.
bool writeFaxFile(const std::string& path, FaxRowPainter paint, int pages,
                  std::uint32_t rowsPerStrip, int firstPage = 0);

// ---- Colour pages: 8-bit RGB, LZW, samples interleaved ----------------------

// The tags every colour page shares; the caller adds its strip or tile layout.
void startRgbPage(TIFF* tif, std::uint32_t width, std::uint32_t length);

// One row of a photograph-like picture: smooth gradients with grain.
void photoRow(std::vector<std::uint8_t>& rgb, std::uint32_t width, std::uint32_t y);

// One row of a scanned colour letter: paper tone, lines of text, a photograph
// with soft gradients and grain, a coloured logo.
void letterRow(std::vector<std::uint8_t>& rgb, std::uint32_t width, std::uint32_t length,
               std::uint32_t y, int page);

// The tags of page `page` of a scanned colour letter of `pages` pages: 300 dpi,
// strips of the default size (8 KiB).
void startLetterPage(TIFF* tif, std::uint32_t width, std::uint32_t length, int page, int pages);

// A scanned colour document of `pages` letter pages, LZW, row by row.
bool writeLetterDocument(const std::string& path, int pages, std::uint32_t width,
                         std::uint32_t length);

// A photograph in strips of `rowsPerStrip` rows, LZW or JPEG (YCbCr).
bool writePhoto(const std::string& path, std::uint32_t width, std::uint32_t length,
                std::uint32_t rowsPerStrip = 16, std::uint16_t compression = COMPRESSION_LZW);

// A square photograph in square tiles, written a band of tiles at a time.
bool writeTiledPhoto(const std::string& path, std::uint32_t size, std::uint32_t tile);

} // namespace pagesmith::bench
