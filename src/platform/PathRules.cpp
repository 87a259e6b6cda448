#include "platform/PathRules.h"

#include "platform/FileIdentity.h"
#include "platform/Utf8Paths.h"

#include <filesystem>

#ifdef _WIN32
#include <windows.h>
#else
#include <climits>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

namespace {

// The full path as the system resolves it ("." and ".." gone, '/' turned
// into '\', a drive-relative path completed), without a trailing separator
// except a root's.
std::wstring fullPath(const std::string& path) {
    const std::wstring wide = wideFromUtf8(path);
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (length == 0)
        return wide;
    std::wstring full(length, L'\0');
    const DWORD written = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    full.resize(written < length ? written : 0);
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    return full;
}

} // namespace

std::size_t maxPathLength() {
    return 259;
}

std::size_t pathLength(const std::string& path) {
    return wideFromUtf8(path).size();
}

bool isPathSeparator(char c) {
    return c == '\\' || c == '/';
}

bool sameFolder(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    if (sameFile(a, b))
        return true;
    // Folders that do not exist yet compare by their spelled-out form; names
    // differ only by case on Windows.
    const std::wstring first = fullPath(a);
    const std::wstring second = fullPath(b);
    return CompareStringOrdinal(first.data(), int(first.size()), second.data(), int(second.size()),
                                TRUE) == CSTR_EQUAL;
}

#else

std::size_t maxPathLength() {
#ifdef PATH_MAX
    return PATH_MAX - 1;
#else
    return 4095;
#endif
}

std::size_t pathLength(const std::string& path) {
    return path.size();
}

bool isPathSeparator(char c) {
    return c == '/';
}

bool sameFolder(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    if (sameFile(a, b))
        return true;
    // Folders that do not exist yet compare by their spelled-out form.
    const auto normalised = [](const std::string& folder) {
        namespace fs = std::filesystem;
        std::error_code ignored;
        std::string text =
            fs::weakly_canonical(fs::absolute(folder, ignored), ignored).lexically_normal();
        while (text.size() > 1 && text.back() == '/')
            text.pop_back();
        return text;
    };
    return normalised(a) == normalised(b);
}

#endif

} // namespace pagesmith::platform
