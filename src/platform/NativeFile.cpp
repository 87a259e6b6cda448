#include "platform/NativeFile.h"

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <algorithm>

#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <cerrno>

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

FileNumber openFileForUpdate(const std::string& path) {
    const HANDLE handle =
        CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return kNoFile;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        return kNoFile;
    }
    return FileNumber(reinterpret_cast<intptr_t>(handle));
}

std::int64_t readFile(FileNumber file, void* into, std::size_t size) {
    auto* bytes = static_cast<char*>(into);
    std::size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(size - done, 1u << 30));
        if (!ReadFile(handleOf(file), bytes + done, chunk, &got, nullptr))
            return done > 0 ? std::int64_t(done) : -1;
        if (got == 0)
            break;
        done += got;
    }
    return std::int64_t(done);
}

std::int64_t writeFile(FileNumber file, const void* from, std::size_t size) {
    const auto* bytes = static_cast<const char*>(from);
    std::size_t done = 0;
    while (done < size) {
        DWORD put = 0;
        const DWORD chunk = DWORD(std::min<std::size_t>(size - done, 1u << 30));
        if (!WriteFile(handleOf(file), bytes + done, chunk, &put, nullptr) || put == 0)
            return done > 0 ? std::int64_t(done) : -1;
        done += put;
    }
    return std::int64_t(done);
}

std::optional<std::uint64_t> seekFile(FileNumber file, std::int64_t offset, int whence) {
    const DWORD method = whence == SEEK_CUR   ? FILE_CURRENT
                         : whence == SEEK_END ? FILE_END
                                              : FILE_BEGIN;
    LARGE_INTEGER distance;
    distance.QuadPart = offset;
    LARGE_INTEGER position;
    if (!SetFilePointerEx(handleOf(file), distance, &position, method))
        return std::nullopt;
    return std::uint64_t(position.QuadPart);
}

namespace {

// A synchronous handle moves its position with every read or write, even
// one given an offset: the position is put back afterwards.
template <typename Move>
bool atOffset(FileNumber file, std::uint64_t offset, std::size_t size, Move move) {
    const std::optional<std::uint64_t> position = seekFile(file, 0, SEEK_CUR);
    if (!position || !seekFile(file, std::int64_t(offset), SEEK_SET))
        return false;
    const bool moved = move() == std::int64_t(size);
    return seekFile(file, std::int64_t(*position), SEEK_SET) && moved;
}

} // namespace

bool readFileAt(FileNumber file, std::uint64_t offset, void* into, std::size_t size) {
    return atOffset(file, offset, size, [&] { return readFile(file, into, size); });
}

bool writeFileAt(FileNumber file, std::uint64_t offset, const void* from, std::size_t size) {
    return atOffset(file, offset, size, [&] { return writeFile(file, from, size); });
}

std::FILE* streamOfFile(FileNumber file, const char* mode) {
    const int descriptor = _open_osfhandle(intptr_t(handleOf(file)), _O_BINARY);
    if (descriptor < 0) {
        closeFile(file);
        return nullptr;
    }
    std::FILE* stream = _fdopen(descriptor, mode);
    if (!stream)
        _close(descriptor); // and the handle with it
    return stream;
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

FileNumber openFileForUpdate(const std::string& path) {
    return ::open(path.c_str(), O_RDWR | O_CLOEXEC);
}

std::int64_t readFile(FileNumber file, void* into, std::size_t size) {
    auto* bytes = static_cast<char*>(into);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(file, bytes + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return done > 0 ? std::int64_t(done) : -1;
        if (got == 0)
            break;
        done += std::size_t(got);
    }
    return std::int64_t(done);
}

std::int64_t writeFile(FileNumber file, const void* from, std::size_t size) {
    const auto* bytes = static_cast<const char*>(from);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t put = ::write(file, bytes + done, size - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return done > 0 ? std::int64_t(done) : -1;
        done += std::size_t(put);
    }
    return std::int64_t(done);
}

std::optional<std::uint64_t> seekFile(FileNumber file, std::int64_t offset, int whence) {
    const off_t position = ::lseek(file, off_t(offset), whence);
    if (position < 0)
        return std::nullopt;
    return std::uint64_t(position);
}

bool readFileAt(FileNumber file, std::uint64_t offset, void* into, std::size_t size) {
    return ::pread(file, into, size, off_t(offset)) == ssize_t(size);
}

bool writeFileAt(FileNumber file, std::uint64_t offset, const void* from, std::size_t size) {
    return ::pwrite(file, from, size, off_t(offset)) == ssize_t(size);
}

std::FILE* streamOfFile(FileNumber file, const char* mode) {
    std::FILE* stream = ::fdopen(file, mode);
    if (!stream)
        ::close(file);
    return stream;
}

#endif

} // namespace pagesmith::platform
