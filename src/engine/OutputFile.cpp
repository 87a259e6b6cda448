#include "engine/OutputFile.h"

#include "base/Paths.h"
#include "platform/Utf8Paths.h"
#include "platform/WholeOutputs.h"
#include "tiff/OpenTiff.h"

#include <filesystem>
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
    std::string tag(6, ' ');
    for (char& letter : tag)
        letter = kLetters[pick(generator)];
    return tag;
}

// Creates a file of a fresh name beside finalPath, never one that exists;
// the open file, or kNoFile.
platform::FileNumber createTemporary(const std::string& finalPath, std::string& temporaryPath) {
    const std::string name = splitPath(finalPath).name;
    const std::string stem =
        name.size() <= kLongestNameForSuffix
            ? finalPath + ".partial-"
            : finalPath.substr(0, finalPath.size() - name.size()) + "pagesmith.partial-";
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

bool isExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(platform::pathFromUtf8(path), error);
}

} // namespace

bool OutputFile::open(const std::string& finalPath, bool append) {
    discard();
    m_finalPath = finalPath;
    if (append && isExistingFile(finalPath)) {
        m_tiff = TiffHandle(finalPath, "a");
        return static_cast<bool>(m_tiff);
    }
    const platform::FileNumber file = createTemporary(finalPath, m_temporaryPath);
    if (file == platform::kNoFile)
        return false;
    m_tiff = TiffHandle(openTiffDescriptor(file, m_temporaryPath, "w"));
    if (!m_tiff) {
        platform::closeFile(file);
        discard();
        return false;
    }
    return true;
}

bool OutputFile::commit() {
    if (!m_tiff)
        return false;
    const bool flushed = TIFFFlush(m_tiff.get()) != 0;
    m_tiff.close();
    if (m_temporaryPath.empty())
        return flushed;
    if (!flushed || !platform::replaceFile(m_temporaryPath, m_finalPath)) {
        discard();
        return false;
    }
    m_temporaryPath.clear();
    return true;
}

void OutputFile::discard() {
    m_tiff.close();
    if (!m_temporaryPath.empty()) {
        platform::removeFile(m_temporaryPath);
        m_temporaryPath.clear();
    }
}

} // namespace pagesmith
