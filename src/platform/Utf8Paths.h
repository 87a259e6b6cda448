#pragma once

#include <filesystem>
#include <string>

namespace pagesmith::platform {

// Paths travel through the program as UTF-8 text. These turn them into the
// standard library's paths and back: on Linux the bytes as they are (a name
// that is not UTF-8 keeps its bytes), on Windows through UTF-16, as the
// narrow forms of std::filesystem there read and write the ANSI code page.
std::filesystem::path pathFromUtf8(const std::string& utf8);
std::string utf8FromPath(const std::filesystem::path& path);

#ifdef _WIN32
// What the wide Win32 calls take and give. Bytes that are not UTF-8 become
// U+FFFD; unpaired surrogates of a name become U+FFFD on the way back.
std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const std::wstring& wide);
#endif

} // namespace pagesmith::platform
