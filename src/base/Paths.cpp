#include "base/Paths.h"

#include "platform/PathRules.h"

#include <algorithm>

namespace pagesmith {

bool fitsPathLimit(const std::string& path) {
    return platform::pathLength(path) <= platform::maxPathLength();
}

std::string joinPath(const std::string& folder, const std::string& name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path += folder;
    path += kPathSeparator;
    path += name;
    return path;
}

PathParts splitPath(const std::string& path) {
    const auto separator = std::find_if(path.rbegin(), path.rend(), platform::isPathSeparator);
    if (separator == path.rend())
        return {std::string(), path};
    const std::size_t cut = std::size_t(path.rend() - separator) - 1;
    return {path.substr(0, cut), path.substr(cut + 1)};
}

std::string withoutExtension(const std::string& path) {
    const std::string name = splitPath(path).name;
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return path;
    return path.substr(0, path.size() - name.size() + dot);
}

} // namespace pagesmith
