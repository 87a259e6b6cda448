#include "platform/AppendFile.h"

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

bool appendToFile(const std::string& path, const std::string& bytes) {
    // Append-only writing: the system puts every write at the end of the
    // file. Reading access only lets the handle take the lock below.
    const HANDLE file = CreateFileW(wideFromUtf8(path).c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // Appends through other handles can still meet inside one write where
    // the system finds the end before it writes (Wine does), so appenders
    // take turns on a byte far past any end: a lock there keeps no reader
    // of the log waiting.
    OVERLAPPED turn{};
    turn.OffsetHigh = 0x7FFFFFFF;
    const bool locked = LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &turn);
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    if (locked)
        UnlockFileEx(file, 0, 1, 0, &turn);
    CloseHandle(file);
    return whole;
}

#else

bool appendToFile(const std::string& path, const std::string& bytes) {
    const int file = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (file < 0)
        return false;
    const ssize_t written = ::write(file, bytes.data(), bytes.size());
    ::close(file);
    return written == ssize_t(bytes.size());
}

#endif

} // namespace pagesmith::platform
