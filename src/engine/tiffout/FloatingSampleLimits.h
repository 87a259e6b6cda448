#pragma once

#include <tiffio.h>

namespace pagesmith {

// SMinSampleValue and SMaxSampleValue stored as FLOAT or DOUBLE on the input
// page keep their values on the output page, as DOUBLE: libtiff writes them
// in the type of the page's samples, a byte for 8-bit pages. Called once the
// output page's directory is written; false when the output could not be
// rewritten.
bool keepFloatingSampleLimits(TIFF* in, TIFF* out);

} // namespace pagesmith
