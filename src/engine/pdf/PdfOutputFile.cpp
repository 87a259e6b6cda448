#include "engine/pdf/PdfOutputFile.h"

#include "base/PartialFile.h"
#include "platform/NativeFile.h"
#include "platform/WholeOutputs.h"

namespace pagesmith {

bool PdfOutputFile::open(const std::string& finalPath) {
    discard();
    m_finalPath = finalPath;
    const platform::FileNumber file = createPartialFile(finalPath, m_temporaryPath);
    if (file == platform::kNoFile)
        return false;
    m_file = platform::streamOfFile(file, "wb");
    if (!m_file) {
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
    if (!written || !closed || !platform::replaceFile(m_temporaryPath, m_finalPath)) {
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
        platform::removeFile(m_temporaryPath);
        m_temporaryPath.clear();
    }
}

} // namespace pagesmith
