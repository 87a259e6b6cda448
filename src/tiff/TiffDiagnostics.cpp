#include "tiff/TiffDiagnostics.h"

#include <tiffio.h>

#include <cstdarg>

namespace pagesmith {

namespace {

void discardDiagnostic(const char*, const char*, va_list) {}

} // namespace

void silenceTiffDiagnostics() {
    TIFFSetErrorHandler(discardDiagnostic);
    TIFFSetWarningHandler(discardDiagnostic);
}

} // namespace pagesmith
