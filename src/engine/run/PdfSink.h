#pragma once

#include "engine/ConversionOptions.h"
#include "engine/pdf/PdfDocument.h"
#include "engine/pdf/PdfPageSource.h"
#include "engine/run/PageSink.h"

#include <memory>
#include <string>

namespace pagesmith {

class CoreBudget;

// A PDF document. Each page is planned as it comes (its tags and the heads of
// its strips read), and its data read again, compressed where it must be,
// when the whole document is written; so which rows of a page could not be
// read is known only then. The document is always written anew (`append` is
// for TIFF outputs). Pages are compressed with a core of `cores` to help
// where one is free.
class PdfSink : public PageSink {
public:
    PdfSink(std::string outputPath, const ConversionOptions& options, CoreBudget* cores);

    const std::string& path() const override { return m_path; }
    bool begin() override { return true; } // the file is made when the document is written
    void inputOpened(const InputPages& input, const std::string& nextWhole) override;
    PageStep addPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& added) override;
    bool dropPage() override {
        return true;
    } // nothing of a page is in the document before it is added
    bool removeLastPage() override { return false; } // never asked: damage is known once written
    OutputEnd finish() override;
    void abandon() override { m_files->close(); }

private:
    bool interrupted() const { return isInterrupted(m_options); }

    const std::string m_path;
    const ConversionOptions& m_options;
    CoreBudget* m_cores;
    PdfDocument m_document;
    std::shared_ptr<PdfInputFiles> m_files;
    std::string m_input; // the file of the input in hand
};

} // namespace pagesmith
