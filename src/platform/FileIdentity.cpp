#include "platform/FileIdentity.h"

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

namespace {

std::optional<FileIdentity> identityOfHandle(HANDLE handle, bool regularOnly) {
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info))
        return std::nullopt;
    if (regularOnly && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileIdentity{info.dwVolumeSerialNumber,
                        (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

} // namespace

std::optional<FileIdentity> identityOf(FileNumber file) {
    if (file == kNoFile)
        return std::nullopt;
    return identityOfHandle(reinterpret_cast<HANDLE>(static_cast<intptr_t>(file)), true);
}

std::optional<FileIdentity> identityOfPath(const std::string& path) {
    // No access asked for: only the attributes are read. Backup semantics
    // let the call open a folder.
    const HANDLE handle = CreateFileW(wideFromUtf8(path).c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    const std::optional<FileIdentity> identity = identityOfHandle(handle, false);
    CloseHandle(handle);
    return identity;
}

#else

std::optional<FileIdentity> identityOf(FileNumber file) {
    struct stat info;
    if (file == kNoFile || ::fstat(file, &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return FileIdentity{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
}

std::optional<FileIdentity> identityOfPath(const std::string& path) {
    struct stat info;
    if (path.empty() || ::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return FileIdentity{std::uint64_t(info.st_dev), std::uint64_t(info.st_ino)};
}

#endif

bool sameFile(const std::string& a, const std::string& b) {
    const std::optional<FileIdentity> first = identityOfPath(a);
    return first && first == identityOfPath(b);
}

} // namespace pagesmith::platform
