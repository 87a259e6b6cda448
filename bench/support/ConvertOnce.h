#pragma once

#include "engine/CompressionChoice.h"

namespace pagesmith::bench {

// One engine conversion of one input, as a benchmark child runs it: 0 when
// every page went through, 1 otherwise (the report on standard error).
int convertOnce(const char* input, const char* outputBase, CompressionMode compressionMode,
                int outputTiled, const char* scratchFile);

} // namespace pagesmith::bench
