#include "engine/CompressionChoice.h"

#include "base/TextCase.h"
#include "inspect/TiffInfo.h"

#include <tiffio.h>

namespace pagesmith {

namespace {

constexpr CompressionModeInfo kModes[kCompressionModeCount] = {
    {"Unompressed", "NONE", COMPRESSION_NONE, -1, false, "no", ".tif"},
    {"PackBits", "PACKBITS", COMPRESSION_PACKBITS, -1, false, "pac", ".tif"},
    {"Group 3 1D (Fill to Byte)", "G31D", COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS, false, "g31",
     ".tif"},
    {"Group 3 1D ", nullptr, COMPRESSION_CCITTFAX3, 0, false, "g31", ".tif"},
    {"Group 3 2D (Fill to Byte)", "G32D", COMPRESSION_CCITTFAX3,
     GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS, false, "g32", ".tif"},
    {"Group 3 2D ", nullptr, COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING, false, "g32", ".tif"},
    {"Group 4", "G4", COMPRESSION_CCITTFAX4, -1, false, "g4", ".tif"},
    {"LZW", "LZW", COMPRESSION_LZW, -1, false, "lzw", ".tif"},
    {"JPEG", "JPEG", COMPRESSION_JPEG, -1, true, "jpg", ".tif"},
    // Each page keeps its own compression where PDF can hold it: no suffix,
    // the extension says what the file is.
    {"PDF document", "PDF", COMPRESSION_NONE, -1, false, "", ".pdf"},
};

struct NamedFilter {
    const char* text;
    const char* optionName;
};

constexpr NamedFilter kFilters[kCompressionFilterCount] = {
    {"ALL tiff files", "ALL"},           {"Uncompressed tiff files", "NONE"},
    {"PackBits tiff files", "PACKBITS"}, {"Group 3 1D tiff files", "G31D"},
    {"Group 3 2D tiff files", "G32D"},   {"ALL Group 3 tiff files", "G3ALL"},
    {"Group 4 tiff files", "G4"},        {"LZW tiff files", "LZW"},
    {"JPEG tiff files", "JPEG"},
};

bool sameName(const std::string& name, const char* tableName) {
    return tableName && lowerCased(name) == lowerCased(tableName);
}

bool passesFilter(const TiffFileInfo& info, CompressionFilter filter) {
    const bool group3 = info.compression == COMPRESSION_CCITTFAX3;
    const bool twoDimensional = (info.group3Options & GROUP3OPT_2DENCODING) != 0;
    switch (filter) {
    case CompressionFilter::All:
        return true;
    case CompressionFilter::Uncompressed:
        return info.compression == COMPRESSION_NONE;
    case CompressionFilter::PackBits:
        return info.compression == COMPRESSION_PACKBITS;
    case CompressionFilter::Group3OneDim:
        return group3 && !twoDimensional;
    case CompressionFilter::Group3TwoDim:
        return group3 && twoDimensional;
    case CompressionFilter::Group3Any:
        return group3;
    case CompressionFilter::Group4:
        return info.compression == COMPRESSION_CCITTFAX4;
    case CompressionFilter::Lzw:
        return info.compression == COMPRESSION_LZW;
    case CompressionFilter::Jpeg:
        return info.compression == COMPRESSION_JPEG;
    }
    return false;
}

bool inTable(int index, int count) {
    return index >= 0 && index < count;
}

} // namespace

const CompressionModeInfo* compressionModeInfo(CompressionMode mode) {
    const int index = int(mode);
    return inTable(index, kCompressionModeCount) ? &kModes[index] : nullptr;
}

const char* compressionFilterText(CompressionFilter filter) {
    const int index = int(filter);
    return inTable(index, kCompressionFilterCount) ? kFilters[index].text : nullptr;
}

bool isBilevelCompression(std::uint16_t compression) {
    return compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
           compression == COMPRESSION_CCITTFAX4;
}

CompressionMode parseCompressionName(const std::string& name) {
    // Table order: the first mode with the name wins, so G31D and G32D name
    // the fill-to-byte variants.
    for (int mode = 0; mode < kCompressionModeCount; ++mode)
        if (sameName(name, kModes[mode].optionName))
            return CompressionMode(mode);
    return CompressionMode::PackBits;
}

CompressionFilter parseFilterName(const std::string& name) {
    for (int filter = 0; filter < kCompressionFilterCount; ++filter)
        if (sameName(name, kFilters[filter].optionName))
            return CompressionFilter(filter);
    return CompressionFilter::All;
}

bool matchesCompressionFilter(const std::string& path, CompressionFilter filter) {
    if (!inTable(int(filter), kCompressionFilterCount))
        return false;
    TiffFileInfo info;
    if (readTiffInfo(path, &info) != 0)
        return false;
    return passesFilter(info, filter);
}

} // namespace pagesmith
