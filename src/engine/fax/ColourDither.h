#pragma once

#include "engine/CompressionChoice.h"
#include "engine/fax/BilevelOutcome.h"

#include <tiffio.h>

#include <string>

namespace pagesmith {

class CoreBudget;

// Whether a colour page can go to fax without the grey scratch page and
// come out as it would through it: its one-bit page fits in memory, and its
// resolution is one the scratch file would have kept as it is (a value it
// writes as a fraction of 32-bit numbers reads back unchanged between a
// billionth and a billion).
bool streamsWithoutScratch(TIFF* in);

// Dithers the input's page (any GreyRows takes) into the output's current
// directory, the grey rows going straight from the reduction into the
// diffusion. The one-bit rows are held until the whole page is read, so a
// page that cannot be read to its end leaves nothing in the output, as the
// scratch route does. Bands of rows may be decoded and reduced ahead on
// other threads, when the budget has a core to spare. A page GreyRows
// refuses leaves the reason in `refusal`, when given.
BilevelOutcome ditherColourPage(TIFF* in, TIFF* out, CompressionMode compressionMode,
                                CoreBudget* cores, std::string* refusal = nullptr);

} // namespace pagesmith
