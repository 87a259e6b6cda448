#include "base/Paths.h"

#include <climits>

namespace pagesmith {

std::size_t maxPathBytes() {
#ifdef _WIN32
    return 259;
#elif defined(PATH_MAX)
    return PATH_MAX - 1;
#else
    return 4095;
#endif
}

bool fitsPathLimit(const std::string& path) {
    return path.size() <= maxPathBytes();
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
    const std::size_t cut = path.find_last_of(kPathSeparator);
    if (cut == std::string::npos)
        return {std::string(), path};
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
