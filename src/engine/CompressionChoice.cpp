#include "engine/CompressionChoice.h"

#include "engine/PageSettings.h"
#include "inspect/TiffInfo.h"

#include <tiffio.h>

#include <cctype>

namespace pagesmith {

namespace {

constexpr CompressionModeInfo kModes[kCompressionModeCount] = {
    {"Unompressed", "NONE", COMPRESSION_NONE, -1, false, "no"},
    {"PackBits", "PACKBITS", COMPRESSION_PACKBITS, -1, false, "pac"},
    {"Group 3 1D (Fill to Byte)", "G31D", COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS, false, "g31"},
    {"Group 3 1D ", nullptr, COMPRESSION_CCITTFAX3, 0, false, "g31"},
    {"Group 3 2D (Fill to Byte)", "G32D", COMPRESSION_CCITTFAX3,
     GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS, false, "g32"},
    {"Group 3 2D ", nullptr, COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING, false, "g32"},
    {"Group 4", "G4", COMPRESSION_CCITTFAX4, -1, false, "g4"},
    {"LZW", "LZW", COMPRESSION_LZW, -1, false, "lzw"},
    {"JPEG", "JPEG", COMPRESSION_JPEG, -1, true, "jpg"},
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

std::string upperCased(const std::string& text) {
    std::string upper = text;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

bool passesFilter(const TiffFileInfo& info, int filter) {
    const bool group3 = info.compression == COMPRESSION_CCITTFAX3;
    const bool twoDimensional = (info.group3Options & GROUP3OPT_2DENCODING) != 0;
    switch (filter) {
    case 0:
        return true;
    case 1:
        return info.compression == COMPRESSION_NONE;
    case 2:
        return info.compression == COMPRESSION_PACKBITS;
    case 3:
        return group3 && !twoDimensional;
    case 4:
        return group3 && twoDimensional;
    case 5:
        return group3;
    case 6:
        return info.compression == COMPRESSION_CCITTFAX4;
    case 7:
        return info.compression == COMPRESSION_LZW;
    case 8:
        return info.compression == COMPRESSION_JPEG;
    default:
        return false;
    }
}

} // namespace

const CompressionModeInfo* compressionModeInfo(int mode) {
    if (mode < 0 || mode >= kCompressionModeCount)
        return nullptr;
    return &kModes[mode];
}

const char* compressionFilterText(int filter) {
    if (filter < 0 || filter >= kCompressionFilterCount)
        return nullptr;
    return kFilters[filter].text;
}

bool isBilevelCompression(std::uint16_t compression) {
    return compression == COMPRESSION_CCITTRLE || compression == COMPRESSION_CCITTFAX3 ||
           compression == COMPRESSION_CCITTFAX4;
}

int parseCompressionName(const std::string& name) {
    const std::string upper = upperCased(name);
    // Table order: the first mode with the name wins, so G31D and G32D name
    // the fill-to-byte variants.
    for (int mode = 0; mode < kCompressionModeCount; ++mode)
        if (kModes[mode].optionName && upper == kModes[mode].optionName)
            return mode;
    return ModePackBits;
}

int parseFilterName(const std::string& name) {
    const std::string upper = upperCased(name);
    for (int filter = 0; filter < kCompressionFilterCount; ++filter)
        if (upper == kFilters[filter].optionName)
            return filter;
    return 0;
}

bool matchesCompressionFilter(const std::string& path, int filter) {
    if (filter < 0 || filter >= kCompressionFilterCount)
        return false;
    TiffFileInfo info;
    if (readTiffInfo(path, &info) != 0)
        return false;
    return passesFilter(info, filter);
}

bool applyCompressionMode(int mode, std::string& outputName, int keepName, PageSettings& settings) {
    settings.group3Options = 0;
    const CompressionModeInfo* info = compressionModeInfo(mode);
    if (!info)
        return false;
    settings.outputCompression = info->compression;
    if (info->group3Options >= 0)
        settings.group3Options = static_cast<std::uint32_t>(info->group3Options);
    settings.jpegColorModeRgb = info->jpegColorModeRgb;
    if (!keepName)
        outputName += info->suffix;
    return true;
}

} // namespace pagesmith
