#pragma once

#include <tiffio.h>

#include <cstdint>

namespace pagesmith {

// Reads the input page as 8-bit samples (EightBitRows) and writes them one
// output strip (or row of tiles) at a time, for an output page set up with
// the samples and photometric they come in. A row that cannot be read is
// written as zeros, as the other copies write what their buffer holds.
bool copyAsEightBitSamples(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width);

} // namespace pagesmith
