#pragma once

#include <tiffio.h>

namespace pagesmith {

// Writes the input's current page, 8-bit RGB or palette, as one 8-bit grey
// page into the scratch file opened for writing. -1 when it refused the page.
int reduceToGray(TIFF* in, TIFF* scratch);

} // namespace pagesmith
