#pragma once

#include "engine/CompressionChoice.h"

#include <tiffio.h>

namespace pagesmith {

// Results of ditherToBilevel.
constexpr int kDitherWritten = 0;  // every row of the one-bit page is written
constexpr int kDitherRefused = -1; // page refused or no input; nothing written
constexpr int kDitherStopped = -2; // a read or write error stopped it part-way

// Floyd-Steinberg dithers the input's current 8-bit grey page into a one-bit
// page of the output (Group 3 or Group 4 by the compression mode), one row
// shorter than the input: the last row only carries errors. The output
// directory is left for the caller to write. Refused for a mode that is not
// Group 3 or Group 4.
int ditherToBilevel(TIFF* in, TIFF* out, CompressionMode compressionMode);

} // namespace pagesmith
