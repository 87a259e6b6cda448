#include "engine/OutputFile.h"

#include "base/Paths.h"
#include "tiff/OpenTiff.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include <fcntl.h>
#include <unistd.h>

namespace pagesmith {

namespace {

// Longest file name the temporary name may grow from; longer ones get a
// fixed temporary name, as most file systems cut names at 255 bytes.
constexpr std::size_t kLongestNameForSuffix = 200;

constexpr const char* kTemporaryMark = ".partial-";
constexpr std::size_t kTagLength = 6;

std::string randomTag() {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string tag(kTagLength, ' ');
    for (char& letter : tag)
        letter = kLetters[pick(generator)];
    return tag;
}

// Creates a file of a fresh name beside finalPath, never one that exists;
// its descriptor, or -1.
int createTemporary(const std::string& finalPath, std::string& temporaryPath) {
    const std::string name = splitPath(finalPath).name;
    const std::string stem =
        name.size() <= kLongestNameForSuffix
            ? finalPath + kTemporaryMark
            : finalPath.substr(0, finalPath.size() - name.size()) + "pagesmith" + kTemporaryMark;
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

bool isExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

bool OutputFile::open(const std::string& finalPath, bool append, const std::atomic<int>* stop) {
    discard();
    m_finalPath = finalPath;
    m_stop = stop;
    m_pagesBefore = 0;
    int descriptor = -1;
    const char* mode = "w";
    if (append && isExistingFile(finalPath)) {
        descriptor = ::open(finalPath.c_str(), O_RDWR | O_CLOEXEC);
        mode = "a";
    } else {
        descriptor = createTemporary(finalPath, m_temporaryPath);
    }
    if (descriptor < 0)
        return false;
    m_gate = std::make_unique<WriteGate>(WriteGate{descriptor, stop, false});
    m_tiff = TiffHandle(
        openTiffGated(*m_gate, m_temporaryPath.empty() ? finalPath : m_temporaryPath, mode));
    if (!m_tiff) {
        ::close(descriptor);
        m_gate.reset();
        discard();
        return false;
    }
    if (m_temporaryPath.empty())
        m_pagesBefore = int(TIFFNumberOfDirectories(m_tiff.get()));
    return true;
}

bool OutputFile::restart() {
    if (m_temporaryPath.empty())
        return false;
    const std::string finalPath = m_finalPath;
    return open(finalPath, false, m_stop);
}

bool OutputFile::commit() {
    if (!m_tiff)
        return false;
    const bool flushed = TIFFFlush(m_tiff.get()) != 0 && !writeFailed();
    m_tiff.close();
    m_gate.reset();
    if (m_temporaryPath.empty())
        return flushed;
    if (!flushed || std::rename(m_temporaryPath.c_str(), m_finalPath.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporaryPath.clear();
    return true;
}

void OutputFile::discard() {
    m_tiff.close();
    m_gate.reset();
    if (!m_temporaryPath.empty()) {
        std::remove(m_temporaryPath.c_str());
        m_temporaryPath.clear();
    }
}

bool OutputFile::isTemporaryName(const std::string& name) {
    const std::size_t mark = name.rfind(kTemporaryMark);
    if (mark == std::string::npos || mark == 0)
        return false;
    const std::string tag = name.substr(mark + std::string(kTemporaryMark).size());
    return tag.size() == kTagLength && std::all_of(tag.begin(), tag.end(), [](char c) {
               return std::isalnum((unsigned char)c);
           });
}

} // namespace pagesmith
