#pragma once

#include "base/MemoryLimits.h"

#include <tiffio.h>

#include <cstddef>
#include <string>

namespace pagesmith {

class TiffMessages;

// Every TIFF handle of the program is opened through these two, so that
// libtiff refuses any single allocation above `mostAllocation` (at most
// kMaxAllocationBytes), and so that the library's messages about the handle
// go to `messages` (dropped when none) instead of the process-wide handlers.
// nullptr when the file cannot be opened.
TIFF* openTiff(const std::string& path, const char* mode, TiffMessages* messages = nullptr,
               std::size_t mostAllocation = kMaxAllocationBytes);

// As openTiff, on an open descriptor; `name` is the file's name for messages.
// The descriptor stays open when this fails.
TIFF* openTiffDescriptor(int descriptor, const std::string& name, const char* mode,
                         TiffMessages* messages = nullptr,
                         std::size_t mostAllocation = kMaxAllocationBytes);

} // namespace pagesmith
