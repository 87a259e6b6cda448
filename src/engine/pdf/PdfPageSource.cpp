#include "engine/pdf/PdfPageSource.h"

#include "tiff/OpenForReading.h"

namespace pagesmith {

TIFF* PdfInputFiles::page(const std::string& path, std::uint64_t offset) {
    if (!m_file || path != m_path) {
        // Read, not mapped: memory follows the strip in hand.
        m_file = openTiffForReading(path, "rm");
        m_path = path;
    }
    if (!m_file)
        return nullptr;
    if (TIFFCurrentDirOffset(m_file.get()) != offset && !TIFFSetSubDirectory(m_file.get(), offset))
        return nullptr;
    return m_file.get();
}

void PdfInputFiles::close() {
    m_file.close();
    m_path.clear();
}

} // namespace pagesmith
