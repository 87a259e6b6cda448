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

} // namespace pagesmith
