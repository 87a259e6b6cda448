#pragma once

#include <cstddef>
#include <string>

namespace pagesmith::platform {

// The longest path the system opens, and a path's length as it counts it:
// bytes on Linux; UTF-16 units on Windows, whose limit of 259 holds the
// characters of "請求書 第1号.tif" as one unit each though they take three
// bytes in UTF-8.
std::size_t maxPathLength();
std::size_t pathLength(const std::string& path);

// The separator that joins a folder and a name.
constexpr char kPathSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// Whether file names differ only by case on this platform.
constexpr bool kCaseInsensitiveFileNames =
#ifdef _WIN32
    true;
#else
    false;
#endif

// Whether `c` separates the parts of a path: '/' on Linux; '\' and '/' on
// Windows, which takes both.
bool isPathSeparator(char c);

// Whether two folder names denote one folder however they are spelled: a
// trailing separator, "." and "..", a link, and on Windows the other
// separator, letter case, a drive letter's case and a server's name in a UNC
// path. False when either is empty.
bool sameFolder(const std::string& a, const std::string& b);

} // namespace pagesmith::platform
