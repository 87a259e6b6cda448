#include "platform/ProgramFile.h"

#include "platform/Utf8Paths.h"

#include <filesystem>

#ifdef _WIN32
#include <random>

#include <windows.h>
#else
#include <unistd.h>
#endif

namespace pagesmith::platform {

namespace fs = std::filesystem;

namespace {

std::string fromArgumentZero(const char* argv0) {
    if (!argv0 || !*argv0)
        return {};
    std::error_code error;
    const fs::path resolved = fs::weakly_canonical(fs::absolute(pathFromUtf8(argv0), error), error);
    return error ? std::string(argv0) : utf8FromPath(resolved);
}

} // namespace

#ifdef _WIN32

std::string runningProgramPath(const char* argv0) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (length == 0)
            return fromArgumentZero(argv0);
        if (length < path.size()) {
            path.resize(length);
            return utf8FromWide(path);
        }
        path.resize(path.size() * 2); // cut short: a long path
    }
}

// Access rights on Windows are lists that no single call answers for; a file
// created and deleted at once does.
bool canCreateFilesIn(const std::string& folder) {
    if (folder.empty())
        return false;
    std::random_device seed;
    const std::wstring probe =
        wideFromUtf8(folder) + L"\\pagesmith-probe-" + std::to_wstring(seed()) + L".tmp";
    const HANDLE handle =
        CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(handle);
    return true;
}

#else

std::string runningProgramPath(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fromArgumentZero(argv0) : utf8FromPath(self);
}

bool canCreateFilesIn(const std::string& folder) {
    return !folder.empty() && access(folder.c_str(), W_OK) == 0;
}

#endif

} // namespace pagesmith::platform
