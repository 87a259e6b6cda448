#pragma once

#include <tiffio.h>

#include <string>

namespace pagesmith {

struct PageSettings;

enum class BilevelOutcome {
    Dithered,           // a one-bit page is in the output's current directory
    PageFailed,         // the page cannot go to fax; nothing usable was written
    ScratchUnavailable, // the scratch file cannot be created
};

// True when the input's current page goes to fax through grey reduction and
// dithering instead of the plain copy: 8-bit pages bound for Group 3 or 4.
bool takesBilevelRoute(TIFF* in, const PageSettings& settings);

// Dithers the input's current page into the output's current directory,
// reducing colour to grey in the scratch file first. The caller writes the
// directory.
BilevelOutcome convertPageToBilevel(TIFF* in, TIFF* out, int compressionMode,
                                    const std::string& scratchPath);

} // namespace pagesmith
