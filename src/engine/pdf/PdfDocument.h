#pragma once

#include "engine/pdf/PdfPagePlan.h"

#include <cstdio>
#include <memory>
#include <string>

class QPDF;

namespace pagesmith {

// A PDF document being put together with qpdf, page by page. Pages hold
// their images' data providers, not their data: the data of each image is
// read, and compressed where it must be, when the document is written, one
// image at a time.
class PdfDocument {
public:
    explicit PdfDocument(const std::string& title);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Adds a page as planned, its images drawn one under another, filling it.
    // False when qpdf refuses it.
    bool addPage(const PdfPagePlan& plan);

    int pageCount() const { return m_pages; }

    // Writes the whole document into `file` (left open; `name` names it in
    // qpdf's messages), with its Title, Producer (Pagesmith and its version)
    // and CreationDate (now). False when that fails: a write, or a page's
    // data that throws.
    bool write(std::FILE* file, const std::string& name);

private:
    std::unique_ptr<QPDF> m_pdf;
    std::string m_title;
    int m_pages = 0;
};

// The Producer every document names.
std::string pdfProducer();

} // namespace pagesmith
