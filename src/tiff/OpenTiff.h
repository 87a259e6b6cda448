#pragma once

#include "base/MemoryLimits.h"

#include <tiffio.h>

#include <atomic>
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

// An output descriptor whose writes can be refused from outside (a run told
// to stop leaves its page at the next write, whatever route writes it) and
// whose failed writes are remembered (a full disk is no damaged input).
struct WriteGate {
    int descriptor = -1;
    const std::atomic<int>* closed = nullptr; // nonzero: every write from now on fails
    bool failed = false;                      // a write did not go through whole
};

// As openTiffDescriptor, through `gate`, which must outlive the handle; the
// handle closes the descriptor.
TIFF* openTiffGated(WriteGate& gate, const std::string& name, const char* mode,
                    TiffMessages* messages = nullptr);

} // namespace pagesmith
