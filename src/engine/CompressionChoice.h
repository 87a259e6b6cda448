#pragma once

#include <cstdint>
#include <string>

namespace pagesmith {

// Output compressions, by the index shared with the dialog list and "/sc=".
enum class CompressionMode : int {
    Uncompressed = 0,
    PackBits = 1,
    Group3OneDimFill = 2,
    Group3OneDim = 3,
    Group3TwoDimFill = 4,
    Group3TwoDim = 5,
    Group4 = 6,
    Lzw = 7,
    Jpeg = 8,
    Pdf = 9, // a PDF document instead of a TIFF file
};
constexpr int kCompressionModeCount = 10;
constexpr CompressionMode kDefaultCompressionMode = CompressionMode::Group3OneDimFill;

// Input selection by first-page compression, by the index shared with the
// file list's filter and "/c=".
enum class CompressionFilter : int {
    All = 0,
    Uncompressed = 1,
    PackBits = 2,
    Group3OneDim = 3,
    Group3TwoDim = 4,
    Group3Any = 5,
    Group4 = 6,
    Lzw = 7,
    Jpeg = 8,
};
constexpr int kCompressionFilterCount = 9;

struct CompressionModeInfo {
    const char* dialogText;     // entry of the destination dialog's list
    const char* optionName;     // "/sc=" name, nullptr when there is none
    std::uint16_t compression;  // TIFF Compression code
    std::int64_t group3Options; // -1 when not written
    bool jpegColorModeRgb;
    const char* suffix;    // appended to output names
    const char* extension; // of the output file
};

// Row of the mode table, nullptr outside 0..9.
const CompressionModeInfo* compressionModeInfo(CompressionMode mode);

// Text of a filter in the file list's drop-down, nullptr outside 0..8.
const char* compressionFilterText(CompressionFilter filter);

// Bilevel modes (Group 3 and Group 4) take one-bit pages only.
bool isBilevelCompression(std::uint16_t compression);

// "/sc=" and "/c=" names in any case; PackBits and All for a name not known.
CompressionMode parseCompressionName(const std::string& name);
CompressionFilter parseFilterName(const std::string& name);
bool matchesCompressionFilter(const std::string& path, CompressionFilter filter);

} // namespace pagesmith
