#pragma once

#include "tiff/TiffHandle.h"

#include <string>

namespace pagesmith {

// Opens a TIFF file for reading, refusing anything but a regular file without
// blocking on it: opening a named pipe for reading would wait for a writer.
// An empty handle when the path is not a readable TIFF file. `mode` is a
// libtiff read mode: "rm" reads instead of mapping the file, so that a long
// conversion holds the strips it works on rather than the whole input.
// libtiff refuses any one allocation above `mostAllocation`.
TiffHandle openTiffForReading(const std::string& path, const char* mode = "r",
                              std::size_t mostAllocation = kMaxAllocationBytes);

} // namespace pagesmith
