#include "platform/NativeFile.h"

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

namespace {

HANDLE handleOf(FileNumber file) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(file));
}

} // namespace

FileNumber openFileForReading(const std::string& path) {
    // Others may go on reading, writing, renaming or deleting the file, as
    // they may with an open file on Linux.
    const HANDLE handle = CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return kNoFile;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        return kNoFile;
    }
    return FileNumber(reinterpret_cast<intptr_t>(handle));
}

void closeFile(FileNumber file) {
    if (file != kNoFile)
        CloseHandle(handleOf(file));
}

std::optional<std::uint64_t> fileSize(FileNumber file) {
    LARGE_INTEGER size;
    if (file == kNoFile || !GetFileSizeEx(handleOf(file), &size))
        return std::nullopt;
    return std::uint64_t(size.QuadPart);
}

#else

FileNumber openFileForReading(const std::string& path) {
    // O_NONBLOCK keeps the open of a FIFO or device from waiting; the type
    // test is made on the opened descriptor so the file cannot change under it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return kNoFile;
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return kNoFile;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

void closeFile(FileNumber file) {
    if (file != kNoFile)
        ::close(file);
}

std::optional<std::uint64_t> fileSize(FileNumber file) {
    struct stat info;
    if (file == kNoFile || ::fstat(file, &info) != 0)
        return std::nullopt;
    return std::uint64_t(info.st_size);
}

#endif

} // namespace pagesmith::platform
