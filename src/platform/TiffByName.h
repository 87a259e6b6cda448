#pragma once

#include <tiffio.h>

#include <string>

namespace pagesmith::platform {

// libtiff's open by file name, for a UTF-8 path: its narrow call on Linux,
// its wide one on Windows (the narrow one there reads the ANSI code page).
TIFF* openTiffByName(const std::string& path, const char* mode, TIFFOpenOptions* options);

} // namespace pagesmith::platform
