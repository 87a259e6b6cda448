#pragma once

#include "engine/PageDamage.h"
#include "tiff/TiffHandle.h"

#include <cstdint>
#include <memory>
#include <string>

namespace pagesmith {

// The input files of a document, read again when the document is written and
// its pages' data is wanted. Pages are written in order, so one file at a
// time is open: the one the last page came from.
class PdfInputFiles {
public:
    // The file at `path`, on the page whose directory lies at `offset`;
    // nullptr when it cannot be opened or the page read.
    TIFF* page(const std::string& path, std::uint64_t offset);

    // Closes the file held.
    void close();

private:
    std::string m_path;
    TiffHandle m_file;
};

// Where the data of one page of a document comes from.
struct PdfPageSource {
    std::shared_ptr<PdfInputFiles> files;
    std::string path;
    std::uint64_t offset = 0; // of the page's directory

    // The input, positioned on the page; nullptr when it cannot be.
    TIFF* open() const { return files ? files->page(path, offset) : nullptr; }
};

} // namespace pagesmith
