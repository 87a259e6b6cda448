#include "engine/OutputFile.h"

#include "engine/PartialFile.h"
#include "tiff/OpenTiff.h"

#include <cstdio>
#include <filesystem>

#include <unistd.h>

namespace pagesmith {

namespace {

bool isExistingFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

} // namespace

bool OutputFile::open(const std::string& finalPath, bool append) {
    discard();
    m_finalPath = finalPath;
    if (append && isExistingFile(finalPath)) {
        m_tiff = TiffHandle(finalPath, "a");
        return static_cast<bool>(m_tiff);
    }
    const int descriptor = createPartialFile(finalPath, m_temporaryPath);
    if (descriptor < 0)
        return false;
    m_tiff = TiffHandle(openTiffDescriptor(descriptor, m_temporaryPath, "w"));
    if (!m_tiff) {
        ::close(descriptor);
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
    if (!flushed || std::rename(m_temporaryPath.c_str(), m_finalPath.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporaryPath.clear();
    return true;
}

void OutputFile::discard() {
    m_tiff.close();
    if (!m_temporaryPath.empty()) {
        std::remove(m_temporaryPath.c_str());
        m_temporaryPath.clear();
    }
}

} // namespace pagesmith
