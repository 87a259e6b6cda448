#pragma once

#include "base/MemoryLimits.h"
#include "platform/NativeFile.h"

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

// As openTiff, on an open file (platform::FileNumber: a descriptor on Linux,
// a HANDLE on Windows); `name` is the file's name for messages and TIFFFileName.
// The file stays open when this fails.
TIFF* openTiffDescriptor(int descriptor, const std::string& name, const char* mode,
                         TiffMessages* messages = nullptr,
                         std::size_t mostAllocation = kMaxAllocationBytes);

// The calls through which libtiff reads and writes a file of the caller's own.
struct TiffClientCalls {
    TIFFReadWriteProc read;
    TIFFReadWriteProc write;
    TIFFSeekProc seek;
    TIFFCloseProc close;
    TIFFSizeProc size;
    TIFFMapFileProc map;
    TIFFUnmapFileProc unmap;
};

// As openTiff, on a file that `calls` reach through `client`.
TIFF* openTiffClient(const std::string& name, const char* mode, thandle_t client,
                     const TiffClientCalls& calls, TiffMessages* messages = nullptr,
                     std::size_t mostAllocation = kMaxAllocationBytes);

// An output file whose writes can be refused from outside (a run told
// to stop leaves its page at the next write, whatever route writes it) and
// whose failed writes are remembered (a full disk is no damaged input).
struct WriteGate {
    platform::FileNumber file = platform::kNoFile;
    const std::atomic<int>* closed = nullptr; // nonzero: every write from now on fails
    bool failed = false;                      // a write did not go through whole
};

// As openTiffDescriptor, through `gate`, which must outlive the handle; the
// handle closes the file.
TIFF* openTiffGated(WriteGate& gate, const std::string& name, const char* mode,
                    TiffMessages* messages = nullptr);

} // namespace pagesmith
