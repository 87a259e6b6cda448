#include "support/FolderText.h"

#include "base/TextCase.h"
#include "platform/Utf8Paths.h"

#include <algorithm>

namespace pagesmith::test {

std::string withFolders(const std::string& text, const FolderPlaceholders& folders,
                        bool readFromOption) {
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto folder = std::find_if(folders.begin(), folders.end(), [&](const auto& place) {
            return text.compare(at, place.first.size(), place.first) == 0;
        });
        if (folder == folders.end()) {
            expanded += text[at++];
            continue;
        }
        at += folder->first.size();
        const std::size_t end = std::min(text.find_first_of(" \t\r\n,", at), text.size());
        std::string path = platform::utf8FromPath(folder->second) + text.substr(at, end - at);
#ifdef _WIN32
        std::replace(path.begin(), path.end(), '/', '\\');
#endif
        expanded += readFromOption ? asReadFromOption(path) : path;
        at = end;
    }
    return expanded;
}

std::string asReadFromOption(const std::string& path) {
#ifdef _WIN32
    return lowerCased(path);
#else
    return path;
#endif
}

} // namespace pagesmith::test
