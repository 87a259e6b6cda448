#pragma once

#include <tiffio.h>

#include <cstdint>
#include <vector>

namespace pagesmith {

// Directory entries of classic TIFF files as the file stores them, for what
// libtiff's interface does not give: the field type an entry was written
// with, and an entry written in a type of the program's choosing. libtiff
// writes SMinSampleValue and SMaxSampleValue in the type of the page's
// samples (a byte for 8-bit pages), which turns 1.5 into 1; the output's
// entry is rewritten afterwards instead.

// The field type of `tag` in the current directory of a handle read from a
// classic TIFF file; 0 when the entry or the type cannot be had.
std::uint16_t storedFieldType(TIFF* tif, std::uint16_t tag);

// Rewrites the entry for `tag` of the last directory in the chain of a
// classic TIFF file being written as DOUBLE `values`, which go to the end
// of the file; a directory without the entry is left alone. False when a
// read or write fails.
bool rewriteLastEntryAsDoubles(TIFF* tif, std::uint16_t tag, const std::vector<double>& values);

} // namespace pagesmith
