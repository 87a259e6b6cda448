#include "platform/WholeOutputs.h"

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <windows.h>
#else
#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

NewFile createNewFile(const std::string& path, FileNumber& file) {
    // Not inherited by the programs the process starts, as O_CLOEXEC on Linux.
    const HANDLE handle =
        CreateFileW(wideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? NewFile::NameTaken
                                                                           : NewFile::Failed;
    }
    file = FileNumber(reinterpret_cast<intptr_t>(handle));
    return NewFile::Created;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return MoveFileExW(wideFromUtf8(from).c_str(), wideFromUtf8(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool removeFile(const std::string& path) {
    return DeleteFileW(wideFromUtf8(path).c_str()) != 0;
}

#else

NewFile createNewFile(const std::string& path, FileNumber& file) {
    const int descriptor = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return errno == EEXIST ? NewFile::NameTaken : NewFile::Failed;
    file = descriptor;
    return NewFile::Created;
}

bool replaceFile(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

#endif

} // namespace pagesmith::platform
