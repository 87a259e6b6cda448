#pragma once

#include <tiffio.h>

#include <array>
#include <cstdint>
#include <vector>

namespace pagesmith {

// A count of kVariableCount means "an array with its own count".
constexpr std::uint16_t kVariableCount = 0xFFFF;

struct TagEntry {
    std::uint16_t tag;
    std::uint16_t count;
    TIFFDataType type;
};

// Descriptive tags copied unchanged onto every output page, in this order.
extern const std::array<TagEntry, 33> CommonTagList;

// Copies one tag from the input's current directory to the output's; a tag the
// input lacks is not written.
void copyTag(TIFF* in, TIFF* out, std::uint16_t tag, std::uint16_t count, TIFFDataType type);

// The values of a tag with one per sample (SMinSampleValue, SMaxSampleValue)
// on the input's current page; empty when it lacks the tag.
std::vector<double> valuesPerSample(TIFF* in, std::uint16_t tag);

// copyTag for every entry of CommonTagList.
void copyCommonTags(TIFF* in, TIFF* out);

// The entries of CommonTagList that describe the samples as the input stores
// them (their range, format and extra samples): untrue of samples made anew.
bool describesStoredSamples(std::uint16_t tag);

// copyCommonTags but for those, for a page of 8-bit samples made of the input's.
void copyCommonTagsOfNewSamples(TIFF* in, TIFF* out);

} // namespace pagesmith
