#pragma once

#include "batch/ReportLine.h"

#include <tiffio.h>

namespace pagesmith {

// Floyd-Steinberg dithers the input's current 8-bit grey page into a one-bit
// page of the output (Group 3 or Group 4 by the compression mode). The output
// directory is left for the caller to write. 0 when it ran, -1 when refused.
int ditherToBilevel(TIFF* in, TIFF* out, int compressionMode, ProgressTarget target);

} // namespace pagesmith
