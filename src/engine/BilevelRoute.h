#pragma once

#include "engine/CompressionChoice.h"

#include <tiffio.h>

#include <string>

namespace pagesmith {

class CoreBudget;
struct PageSettings;

enum class BilevelOutcome {
    Dithered,           // a one-bit page is in the output's current directory
    PageFailed,         // the page cannot go to fax; nothing usable was written
    ScratchUnavailable, // the scratch file cannot be created
};

// True when the input's current page goes to fax through grey reduction and
// dithering instead of the plain copy: 8-bit pages bound for Group 3 or 4.
bool takesBilevelRoute(TIFF* in, const PageSettings& settings);

// Dithers the input's current page into the output's current directory. Grey
// pages are dithered directly (min-is-white ones by their brightness); colour,
// YCbCr and palette pages are reduced to grey on the way into the diffusion,
// or, when that would change the page (streamsWithoutScratch), first into the
// scratch file, which is written anew, closed and reopened. PageFailed for a
// page that cannot be read or turned into grey, and for a page of one row.
// The caller writes the directory on Dithered. Colour pages may be read ahead
// on spare cores of the budget.
BilevelOutcome convertPageToBilevel(TIFF* in, TIFF* out, CompressionMode compressionMode,
                                    const std::string& scratchPath, CoreBudget* cores = nullptr);

} // namespace pagesmith
