#pragma once

#include <tiffio.h>

#include <cstdint>

namespace pagesmith {

// Reads the input page through libtiff's RGBA reader and writes it as 8-bit
// RGB rows, one output strip (or row of tiles) at a time, in the order the
// file stores them. For colour pages whose codec cannot hand over RGB rows
// itself (old-style JPEG). A band larger than the memory cap fails the page.
bool copyThroughRgbaReader(TIFF* in, TIFF* out, std::uint32_t length, std::uint32_t width,
                           std::uint16_t samplesPerPixel);

} // namespace pagesmith
