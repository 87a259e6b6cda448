#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace pagesmith::platform {

// An open file as libtiff's descriptor calls take it and TIFFFileno gives it
// back: a descriptor on Linux, a Win32 HANDLE held in an int on Windows (as
// libtiff's own Windows build holds it).
using FileNumber = int;
constexpr FileNumber kNoFile = -1;

// Opens a regular file on disk to read, never waiting: a FIFO, a device, a
// folder or a named pipe gives kNoFile, as does a missing file.
FileNumber openFileForReading(const std::string& path);

void closeFile(FileNumber file);

std::optional<std::uint64_t> fileSize(FileNumber file);

} // namespace pagesmith::platform
