#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
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

// Opens an existing file to read and write (appending pages to it).
FileNumber openFileForUpdate(const std::string& path);

void closeFile(FileNumber file);

std::optional<std::uint64_t> fileSize(FileNumber file);

// At the file's position, as read(2) and write(2): the bytes moved, or -1.
// A short count comes only at the end of the file or from a failed write.
std::int64_t readFile(FileNumber file, void* into, std::size_t size);
std::int64_t writeFile(FileNumber file, const void* from, std::size_t size);

// Moves the file's position as lseek(2) (whence: SEEK_SET, SEEK_CUR,
// SEEK_END); the new position, or nothing.
std::optional<std::uint64_t> seekFile(FileNumber file, std::int64_t offset, int whence);

// At `offset`, leaving the file's position where it was, as pread(2) and
// pwrite(2): true when all `size` bytes moved.
bool readFileAt(FileNumber file, std::uint64_t offset, void* into, std::size_t size);
bool writeFileAt(FileNumber file, std::uint64_t offset, const void* from, std::size_t size);

// A C stream over the file, which then belongs to the stream (fclose closes
// it); nullptr, with the file closed, when that fails.
std::FILE* streamOfFile(FileNumber file, const char* mode);

} // namespace pagesmith::platform
