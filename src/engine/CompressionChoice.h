#pragma once

#include <cstdint>
#include <string>

namespace pagesmith {

struct PageSettings;

// Output compressions, by the index shared with the dialog list and "/sc=".
enum CompressionMode : int {
    ModeUncompressed = 0,
    ModePackBits = 1,
    ModeGroup3OneDimFill = 2,
    ModeGroup3OneDim = 3,
    ModeGroup3TwoDimFill = 4,
    ModeGroup3TwoDim = 5,
    ModeGroup4 = 6,
    ModeLzw = 7,
    ModeJpeg = 8,
};
constexpr int kCompressionModeCount = 9;
constexpr int kDefaultCompressionMode = ModeGroup3OneDimFill;

// Input selection by first-page compression, by the index shared with the
// file list's filter and "/c=".
constexpr int kCompressionFilterCount = 9;

struct CompressionModeInfo {
    const char* dialogText;     // entry of the destination dialog's list
    const char* optionName;     // "/sc=" name, nullptr when there is none
    std::uint16_t compression;  // TIFF Compression code
    std::int64_t group3Options; // -1 when not written
    bool jpegColorModeRgb;
    const char* suffix; // appended to output names
};

// Row of the mode table, nullptr outside 0..8.
const CompressionModeInfo* compressionModeInfo(int mode);

// Text of a filter in the file list's drop-down, nullptr outside 0..8.
const char* compressionFilterText(int filter);

// Bilevel modes (Group 3 and Group 4) take one-bit pages only.
bool isBilevelCompression(std::uint16_t compression);

int parseCompressionName(const std::string& name);
int parseFilterName(const std::string& name);
bool matchesCompressionFilter(const std::string& path, int filter);

// Sets the run's compression settings and, unless keepName, appends the mode's
// suffix to outputName. False for a mode outside the table.
bool applyCompressionMode(int mode, std::string& outputName, int keepName, PageSettings& settings);

} // namespace pagesmith
