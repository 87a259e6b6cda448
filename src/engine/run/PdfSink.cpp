#include "engine/run/PdfSink.h"

#include "base/Paths.h"
#include "engine/ProgressReport.h"
#include "engine/pdf/PdfOutputFile.h"
#include "engine/pdf/PdfPagePlan.h"
#include "engine/run/InputPages.h"

#include <exception>

namespace pagesmith {

namespace {

// The name a document bears as its Title: its file's, without the extension.
std::string titleOf(const std::string& outputPath) {
    return splitPath(withoutExtension(outputPath)).name;
}

} // namespace

PdfSink::PdfSink(std::string outputPath, const ConversionOptions& options, CoreBudget* cores)
    : m_path(std::move(outputPath)), m_options(options), m_cores(cores),
      m_document(titleOf(m_path)), m_files(std::make_shared<PdfInputFiles>()) {}

void PdfSink::inputOpened(const InputPages& input, const std::string&) {
    m_input = input.path();
}

PageStep PdfSink::addPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& added) {
    const PdfPageSource source{m_files, m_input, TIFFCurrentDirOffset(in)};
    PdfPagePlan plan;
    try {
        plan = planPdfPage(in, source, m_cores);
    } catch (const std::exception&) {
        // As a fault in a TIFF page's copy: said, and the next page follows.
        const char* fault = messageText(ReportMessage::FaultText);
        report.showError(messageText(ReportMessage::FaultCaption), fault);
        writeMessage<ReportMessage::PageFault>(report, fault);
        return PageStep::Failed;
    }
    if (!plan) {
        if (plan.refusal.empty())
            writeMessage<ReportMessage::PixelsUnreadable>(report, pageIndex);
        else
            writeMessage<ReportMessage::Reason>(report, plan.refusal);
        return PageStep::Failed;
    }
    if (!m_document.addPage(plan)) {
        writeMessage<ReportMessage::PageNotAdded>(report, pageIndex);
        return PageStep::Failed;
    }
    added.sourcePage = int(TIFFCurrentDirectory(in));
    added.length = plan.length;
    added.damage = plan.damage;
    added.damageKnown = false;
    return PageStep::Added;
}

OutputEnd PdfSink::finish() {
    if (interrupted())
        return OutputEnd::Stopped;
    PdfOutputFile output;
    const bool whole =
        output.open(m_path) && m_document.write(output.file(), output.temporaryPath());
    // A stop asked for while the document was written leaves no document.
    if (whole && interrupted()) {
        output.discard();
        return OutputEnd::Stopped;
    }
    const bool written = whole && output.commit();
    output.discard();
    m_files->close();
    return written ? OutputEnd::Written : OutputEnd::Failed;
}

} // namespace pagesmith
