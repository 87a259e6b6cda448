#pragma once

#include "engine/CompressionChoice.h"
#include "engine/fax/BilevelOutcome.h"

#include <tiffio.h>

#include <string>

namespace pagesmith {

class CoreBudget;
struct PageSettings;

// True when the input's current page goes to fax through grey reduction and
// dithering instead of the plain copy, for Group 3 or 4: every page but
// one-bit black and white that can be made grey, and every 8-bit page of one
// or three samples (which fails there when it cannot).
bool takesBilevelRoute(TIFF* in, const PageSettings& settings);

// Dithers the input's current page into the output's current directory.
// 8-bit grey pages are dithered directly (min-is-white ones by their
// brightness); every other page is reduced to grey (GreyRows) on the way into
// the diffusion, or, when that would change the page (streamsWithoutScratch),
// first into the scratch file, which is written anew, closed and reopened.
// PageFailed for a page that cannot be read or turned into grey (the reason
// in `refusal`, when given, unless the page is damaged), and for a page of
// one row. The caller writes the directory on Dithered. Pages reduced to
// grey may be read ahead on spare cores of the budget.
BilevelOutcome convertPageToBilevel(TIFF* in, TIFF* out, CompressionMode compressionMode,
                                    const std::string& scratchPath, CoreBudget* cores = nullptr,
                                    std::string* refusal = nullptr);

} // namespace pagesmith
