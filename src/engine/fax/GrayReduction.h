#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>

namespace pagesmith {

// Results of reduceToGray.
constexpr int kGrayWritten = 0;  // the whole grey page is in the scratch file
constexpr int kGrayRefused = -1; // page refused; nothing written to the scratch file
constexpr int kGrayStopped = -2; // a read or write error stopped it part-way

// Writes the input's current page, as GreyRows hands it out, as one 8-bit
// grey page into the scratch file opened for writing. A refused page leaves
// the reason in `refusal`, when given.
int reduceToGray(TIFF* in, TIFF* scratch, std::string* refusal = nullptr);

} // namespace pagesmith
