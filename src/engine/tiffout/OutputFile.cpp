#include "engine/tiffout/OutputFile.h"

#include "base/PartialFile.h"
#include "platform/NativeFile.h"
#include "platform/Utf8Paths.h"
#include "platform/WholeOutputs.h"
#include "tiff/OpenTiff.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

namespace pagesmith {

namespace {

bool isExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(platform::pathFromUtf8(path), error);
}

} // namespace

bool OutputFile::open(const std::string& finalPath, bool append, const std::atomic<int>* stop) {
    discard();
    m_finalPath = finalPath;
    m_stop = stop;
    m_pagesBefore = 0;
    platform::FileNumber file = platform::kNoFile;
    const char* mode = "w";
    if (append && isExistingFile(finalPath)) {
        file = platform::openFileForUpdate(finalPath);
        mode = "a";
    } else {
        file = createPartialFile(finalPath, m_temporaryPath);
    }
    if (file == platform::kNoFile)
        return false;
    m_gate = std::make_unique<WriteGate>(WriteGate{file, stop, false});
    m_tiff = TiffHandle(
        openTiffGated(*m_gate, m_temporaryPath.empty() ? finalPath : m_temporaryPath, mode));
    if (!m_tiff) {
        platform::closeFile(file);
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
    if (!flushed || !platform::replaceFile(m_temporaryPath, m_finalPath)) {
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
        platform::removeFile(m_temporaryPath);
        m_temporaryPath.clear();
    }
}

} // namespace pagesmith
