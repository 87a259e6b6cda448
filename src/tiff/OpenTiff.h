#pragma once

#include <tiffio.h>

#include <string>

namespace pagesmith {

// Every TIFF handle of the program is opened through these two, so that
// libtiff refuses any single allocation above kMaxAllocationBytes. nullptr
// when the file cannot be opened.
TIFF* openTiff(const std::string& path, const char* mode);

// As openTiff, on an open descriptor; `name` is the file's name for messages.
// The descriptor stays open when this fails.
TIFF* openTiffDescriptor(int descriptor, const std::string& name, const char* mode);

} // namespace pagesmith
