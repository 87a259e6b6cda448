#include "engine/PartialFile.h"

#include "base/Paths.h"

#include <cerrno>
#include <random>

#include <fcntl.h>

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

int createPartialFile(const std::string& finalPath, std::string& temporaryPath) {
    const std::string name = splitPath(finalPath).name;
    const std::string stem =
        name.size() <= kLongestNameForSuffix
            ? finalPath + kPartialMark
            : finalPath.substr(0, finalPath.size() - name.size()) + "pagesmith" + kPartialMark;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = stem + randomTag();
        const int descriptor =
            ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            temporaryPath = candidate;
            return descriptor;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

} // namespace pagesmith
