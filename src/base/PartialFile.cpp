#include "base/PartialFile.h"

#include "base/Paths.h"
#include "platform/WholeOutputs.h"

#include <algorithm>
#include <cctype>
#include <random>

namespace pagesmith {

namespace {

// Longest file name the temporary name may grow from; longer ones get a
// fixed temporary name, as most file systems cut names at 255 bytes.
constexpr std::size_t kLongestNameForSuffix = 200;

std::string randomTag() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string tag(kPartialTagLength, ' ');
    for (char& letter : tag)
        letter = kLetters[pick(generator)];
    return tag;
}

} // namespace

platform::FileNumber createPartialFile(const std::string& finalPath, std::string& temporaryPath) {
    const std::string name = splitPath(finalPath).name;
    const std::string stem =
        name.size() <= kLongestNameForSuffix
            ? finalPath + kPartialMark
            : finalPath.substr(0, finalPath.size() - name.size()) + "pagesmith" + kPartialMark;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = stem + randomTag();
        platform::FileNumber file = platform::kNoFile;
        switch (platform::createNewFile(candidate, file)) {
        case platform::NewFile::Created:
            temporaryPath = candidate;
            return file;
        case platform::NewFile::NameTaken:
            continue;
        case platform::NewFile::Failed:
            return platform::kNoFile;
        }
    }
    return platform::kNoFile;
}

bool isPartialFileName(const std::string& name) {
    const std::size_t mark = name.rfind(kPartialMark);
    if (mark == std::string::npos || mark == 0)
        return false;
    const std::string tag = name.substr(mark + std::string(kPartialMark).size());
    return tag.size() == kPartialTagLength && std::all_of(tag.begin(), tag.end(), [](char c) {
               return std::isalnum((unsigned char)c);
           });
}

} // namespace pagesmith
