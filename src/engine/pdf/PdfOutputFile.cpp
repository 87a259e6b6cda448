#include "engine/pdf/PdfOutputFile.h"

#include "engine/PartialFile.h"

#include <unistd.h>

namespace pagesmith {

bool PdfOutputFile::open(const std::string& finalPath) {
    discard();
    m_finalPath = finalPath;
    const int descriptor = createPartialFile(finalPath, m_temporaryPath);
    if (descriptor < 0)
        return false;
    m_file = ::fdopen(descriptor, "wb");
    if (!m_file) {
        ::close(descriptor);
        discard();
        return false;
    }
    return true;
}

bool PdfOutputFile::commit() {
    if (!m_file)
        return false;
    const bool written = std::fflush(m_file) == 0 && !std::ferror(m_file);
    const bool closed = std::fclose(m_file) == 0;
    m_file = nullptr;
    if (!written || !closed || std::rename(m_temporaryPath.c_str(), m_finalPath.c_str()) != 0) {
        discard();
        return false;
    }
    m_temporaryPath.clear();
    return true;
}

void PdfOutputFile::discard() {
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    if (!m_temporaryPath.empty()) {
        std::remove(m_temporaryPath.c_str());
        m_temporaryPath.clear();
    }
}

} // namespace pagesmith
