#include "platform/PrivateFolder.h"

#include "platform/Utf8Paths.h"

#include <filesystem>

#ifdef _WIN32
#include <random>

#include <windows.h>
#else
#include <cstdlib>

#include <unistd.h>
#endif

namespace pagesmith::platform {

std::string temporaryFolder() {
    std::error_code error;
    std::string folder = utf8FromPath(std::filesystem::temp_directory_path(error));
#ifdef _WIN32
    if (error || folder.empty())
        return "C:\\Windows\\Temp";
    // GetTempPathW ends its answer with a backslash.
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
#else
    if (error || folder.empty())
        return "/tmp";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
#endif
    return folder;
}

#ifdef _WIN32

std::string createPrivateFolder(const std::string& prefix) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device seed;
    std::mt19937 generator(seed());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    // The user's temporary folder is the user's own; a new folder there
    // inherits its access rights.
    const std::string base = temporaryFolder() + '\\' + prefix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = base;
        for (int i = 0; i < 6; ++i)
            path += kLetters[pick(generator)];
        if (CreateDirectoryW(wideFromUtf8(path).c_str(), nullptr))
            return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return {};
    }
    return {};
}

int processId() {
    return int(GetCurrentProcessId());
}

#else

std::string createPrivateFolder(const std::string& prefix) {
    std::string pattern = temporaryFolder() + '/' + prefix + "XXXXXX";
    return mkdtemp(pattern.data()) ? pattern : std::string();
}

int processId() {
    return int(getpid());
}

#endif

} // namespace pagesmith::platform
