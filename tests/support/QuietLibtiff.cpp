#include "tiff/TiffDiagnostics.h"

namespace {

// The program silences libtiff at start-up; test programs do the same, so
// expected refusals of damaged fixtures do not flood the output.
const bool silenced = (pagesmith::silenceTiffDiagnostics(), true);

} // namespace
