#pragma once

#include <cstdio>
#include <string>

namespace pagesmith {

// The file of one PDF document, written as TIFF outputs are: under a
// temporary name beside its final one ("<name>.partial-XXXXXX"), renamed
// when whole. A run that fails, throws or is killed leaves no half-written
// document under the final name, and an older file of that name stays as it
// was until the new one replaces it.
class PdfOutputFile {
public:
    PdfOutputFile() = default;
    ~PdfOutputFile() { discard(); }
    PdfOutputFile(const PdfOutputFile&) = delete;
    PdfOutputFile& operator=(const PdfOutputFile&) = delete;

    // False when the file cannot be created.
    bool open(const std::string& finalPath);

    std::FILE* file() const { return m_file; }
    const std::string& temporaryPath() const { return m_temporaryPath; }

    // Writes out what is buffered and gives the file its final name. False,
    // with nothing left under the temporary name, when that fails.
    bool commit();

    // Drops the file.
    void discard();

private:
    std::string m_finalPath;
    std::string m_temporaryPath;
    std::FILE* m_file = nullptr;
};

} // namespace pagesmith
