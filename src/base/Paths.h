#pragma once

#include "platform/PathRules.h"

#include <cstddef>
#include <string>

namespace pagesmith {

// Whether the path is no longer than the longest the platform opens (bytes on
// Linux, UTF-16 units on Windows). Longer paths are refused rather than
// truncated: a cut path names another file.
bool fitsPathLimit(const std::string& path);

// The platform's separator, which joins a folder and a name, and whether
// file names there differ only by case.
using platform::kCaseInsensitiveFileNames;
using platform::kPathSeparator;

std::string joinPath(const std::string& folder, const std::string& name);

// A path cut at its last separator (on Windows '/' counts as well as '\').
// Without a separator the folder is empty and the name is the whole path;
// "/a" has the empty folder too.
struct PathParts {
    std::string folder;
    std::string name;
};

PathParts splitPath(const std::string& path);

// The path without the extension of its file-name part: the dot of a folder
// such as "out.old" is no extension.
std::string withoutExtension(const std::string& path);

} // namespace pagesmith
