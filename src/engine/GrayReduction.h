#pragma once

#include <tiffio.h>

namespace pagesmith {

// Results of reduceToGray.
constexpr int kGrayWritten = 0;  // the whole grey page is in the scratch file
constexpr int kGrayRefused = -1; // page refused; nothing written to the scratch file
constexpr int kGrayStopped = -2; // a read or write error stopped it part-way

// Writes the input's current page, 8-bit RGB, palette or YCbCr (decoded to
// RGB), as one 8-bit grey page into the scratch file opened for writing.
int reduceToGray(TIFF* in, TIFF* scratch);

} // namespace pagesmith
