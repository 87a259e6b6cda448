#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pagesmith {

// The strips of the input's current page as the file stores them, for data
// that goes into a document without being decoded.
struct StoredStrips {
    std::uint32_t count = 0;
    std::uint32_t rowsPerStrip = 0; // between 1 and the page's length
    std::uint32_t length = 0;       // rows of the page

    // Rows of strip `strip`: the last one may hold fewer.
    std::uint32_t rowsOf(std::uint32_t strip) const;
};

// Consecutive strips that make one image: `count` strips from `first`.
struct StripGroup {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
};

// The page's strips in groups of consecutive strips whose stored bytes stay
// within kMostPdfImageBytes together (a larger strip is a group alone).
std::vector<StripGroup> stripGroups(TIFF* in, const StoredStrips& strips);

// The page's strips when every one of them lies whole inside the file at
// `path` and is not empty; false otherwise (and for tiled pages, whose
// tiles cannot be laid out as strips).
bool storedStripsOf(TIFF* in, const std::string& path, StoredStrips& strips);

// Reads the first `size` stored bytes of a strip, or all of them when it
// holds fewer; false when they cannot be read.
bool readStripHead(TIFF* in, std::uint32_t strip, std::size_t size,
                   std::vector<std::uint8_t>& bytes);

// Reads every stored byte of a strip; false when they cannot be read.
bool readWholeStrip(TIFF* in, std::uint32_t strip, std::vector<std::uint8_t>& bytes);

} // namespace pagesmith
