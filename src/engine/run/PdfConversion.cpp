#include "engine/run/PdfConversion.h"

#include "base/Paths.h"
#include "engine/pdf/PdfDocument.h"
#include "engine/pdf/PdfOutputFile.h"
#include "engine/pdf/PdfPagePlan.h"
#include "engine/run/ConvertFiles.h"
#include "engine/run/InputPages.h"
#include "inspect/ReportLines.h"
#include "platform/FileIdentity.h"

#include <algorithm>
#include <exception>
#include <memory>

namespace pagesmith {

namespace {

constexpr const char* kExceptionText =
    "Fail to convert this tiff file, try to convert it to another compression mode";

// The name a document bears as its Title: its file's, without the extension.
std::string titleOf(const std::string& outputPath) {
    return splitPath(withoutExtension(outputPath)).name;
}

// One call of convertToPdf. The pages are planned first, input by input,
// and their lines held; the document is then written, reading every page's
// data again; the lines come out once it is known what became of each page.
class PdfRun {
public:
    PdfRun(const ConversionOptions& options, int inputCount, ProgressReport& report,
           const std::string& outputPath, CoreBudget* cores)
        : m_options(options), m_inputCount(inputCount), m_report(report), m_cores(cores),
          m_outputPath(outputPath), m_document(titleOf(outputPath)),
          m_files(std::make_shared<PdfInputFiles>()) {}

    int run(const std::vector<std::string>& inputs);

private:
    // What the run reports, held until the document is written.
    struct Held {
        enum class Kind { Input, Line, Fault, Failure, Step, Page } kind;
        std::string text;
        int pageIndex = 0; // of a page; of the input, for an input
        std::uint32_t length = 0;
        std::shared_ptr<PdfPageDamage> damage;
    };

    bool outputIsAnInput(const std::vector<std::string>& inputs);
    void planInput(const std::string& input);
    void planPage(const InputPages& input, const std::string& path, int pageIndex);
    void pageFailed(int pageIndex);
    int write();
    void release(bool written);
    void releasePage(const Held& page, bool written);

    void hold(const std::string& text) { m_held.push_back({Held::Kind::Line, text, 0, 0, {}}); }
    void holdFailure() { m_held.push_back({Held::Kind::Failure, {}, 0, 0, {}}); }
    void holdStep() { m_held.push_back({Held::Kind::Step, {}, 0, 0, {}}); }
    void writeFailure(const char* format);
    bool interrupted() const { return isInterrupted(m_options); }
    int stop();

    const ConversionOptions& m_options;
    const int m_inputCount;
    ProgressReport& m_report;
    CoreBudget* m_cores;
    const std::string m_outputPath;
    PdfDocument m_document;
    std::shared_ptr<PdfInputFiles> m_files;
    std::vector<Held> m_held;
};

bool PdfRun::outputIsAnInput(const std::vector<std::string>& inputs) {
    for (int i = 0; i < m_inputCount; ++i) {
        if (platform::sameFile(InputPages::fileOf(inputs[i]), m_outputPath)) {
            writeReportLine(m_report, "  -- Failed: output is the same file as the input %s\r\n",
                            shownName(inputs[i]).c_str());
            m_report.noteFailure();
            return true;
        }
    }
    return false;
}

int PdfRun::run(const std::vector<std::string>& inputs) {
    // The output takes its name at the end: it must not be one of the files read.
    if (outputIsAnInput(inputs))
        return kConvertOutputUnusable;
    for (int i = 0; i < m_inputCount; ++i) {
        if (interrupted())
            return stop();
        // The report learns whose lines follow when they come out.
        m_held.push_back({Held::Kind::Input, {}, i, 0, {}});
        planInput(inputs[i]);
    }
    return write();
}

// Told to stop from outside: nothing is written, and the report says so.
int PdfRun::stop() {
    m_files->close();
    release(false);
    writeFailure("  -- Stopped: %s not written\r\n");
    return kConvertStopped;
}

void PdfRun::planInput(const std::string& path) {
    holdStep();
    InputPages input;
    if (!input.open(path)) {
        if (!input.problem().empty())
            hold(formatText("  -- %s\r\n", input.problem().c_str()));
        hold(formatText("  -- Failed: cannot open %s\r\n", shownName(path).c_str()));
        holdFailure();
        return;
    }
    hold(formatText(m_inputCount == 1 ? "Convert: %s -> %s\r\n" : "Merge:   %s -> %s\r\n",
                    shownName(path).c_str(), shownName(m_outputPath).c_str()));
    // Every page the file counts gets its line, one whose directory cannot
    // be read too; the pages after it are still planned.
    int lastPage = 0;
    InputPages::Step step = InputPages::Step::Page;
    for (int pageIndex = 0; step != InputPages::Step::End && !interrupted();
         ++pageIndex, step = input.nextPage()) {
        lastPage = pageIndex;
        if (step == InputPages::Step::Unreadable) {
            holdStep();
            hold(formatText("  -- Failed: the directory of page %d cannot be read\r\n", pageIndex));
            pageFailed(pageIndex);
            continue;
        }
        planPage(input, InputPages::fileOf(path), pageIndex);
    }
    if (input.chainBroken()) {
        holdStep();
        hold(formatText("  -- Failed: the pages after page %d cannot be reached\r\n", lastPage));
        holdFailure();
    }
    // A page list that names a page the file does not have.
    if (!input.problem().empty()) {
        hold(formatText("  -- %s\r\n", input.problem().c_str()));
        holdFailure();
    }
}

void PdfRun::planPage(const InputPages& input, const std::string& path, int pageIndex) {
    holdStep();
    TIFF* in = input.tiff();
    const PdfPageSource source{m_files, path, TIFFCurrentDirOffset(in)};
    PdfPagePlan plan;
    try {
        plan = planPdfPage(in, source, m_cores);
    } catch (const std::exception&) {
        // As a fault in a TIFF page's copy: said, and the next page follows.
        m_held.push_back({Held::Kind::Fault, kExceptionText, 0, 0, {}});
        hold(formatText("  -- Failed: %s\r\n", kExceptionText));
        pageFailed(pageIndex);
        return;
    }
    if (!plan) {
        hold(plan.refusal.empty()
                 ? formatText("  -- Failed: the pixels of page %d cannot be read\r\n", pageIndex)
                 : formatText("  -- %s\r\n", plan.refusal.c_str()));
        pageFailed(pageIndex);
        return;
    }
    if (!m_document.addPage(plan)) {
        hold(formatText("  -- Failed: page %d cannot be added to the document\r\n", pageIndex));
        pageFailed(pageIndex);
        return;
    }
    m_held.push_back({Held::Kind::Page, {}, pageIndex, plan.length, plan.damage});
}

void PdfRun::pageFailed(int pageIndex) {
    if (!m_options.shortLog)
        hold(formatText("  -- Page %d failed\r\n", pageIndex));
    holdFailure();
}

int PdfRun::write() {
    if (m_document.pageCount() == 0) {
        release(false);
        writeFailure("  -- Failed: no page written to %s\r\n");
        return kConvertNoPageWritten;
    }
    if (interrupted())
        return stop();
    PdfOutputFile output;
    const bool whole =
        output.open(m_outputPath) && m_document.write(output.file(), output.temporaryPath());
    // A stop asked for while the document was written leaves no document.
    if (whole && interrupted()) {
        output.discard();
        return stop();
    }
    const bool written = whole && output.commit();
    output.discard();
    m_files->close();
    release(written);
    if (!written) {
        writeFailure("  -- Failed: cannot create %s\r\n");
        return kConvertOutputUnusable;
    }
    return kConvertDone;
}

void PdfRun::release(bool written) {
    for (const Held& held : m_held) {
        switch (held.kind) {
        case Held::Kind::Input:
            m_report.inputStarted(std::size_t(held.pageIndex));
            break;
        case Held::Kind::Line:
            m_report.addLine(held.text);
            break;
        case Held::Kind::Fault:
            m_report.showError("Exception Error", held.text);
            break;
        case Held::Kind::Failure:
            m_report.noteFailure();
            break;
        case Held::Kind::Step:
            m_report.stepStarted();
            break;
        case Held::Kind::Page:
            releasePage(held, written);
            break;
        }
    }
    m_held.clear();
}

// A page in the document: a success, or damaged where rows of it could not
// be read when the document was written (they are blank).
void PdfRun::releasePage(const Held& page, bool written) {
    const std::uint64_t unread =
        page.damage->sourceLost ? page.length
                                : std::min<std::uint64_t>(page.damage->unreadRows, page.length);
    if (written && unread > 0) {
        writeReportLine(m_report,
                        "  -- Page %d damaged: %llu of %u rows could not be read, left blank\r\n",
                        page.pageIndex, static_cast<unsigned long long>(unread), page.length);
        m_report.noteFailure();
        return;
    }
    if (!m_options.shortLog)
        writeReportLine(m_report, written ? "  -- Page %d success\r\n" : "  -- Page %d failed\r\n",
                        page.pageIndex);
}

void PdfRun::writeFailure(const char* format) {
    m_report.stepStarted();
    writeReportLine(m_report, format, shownName(m_outputPath).c_str());
    m_report.noteFailure();
}

} // namespace

int convertToPdf(int count, const std::vector<std::string>& inputs, const std::string& outputPath,
                 const ConversionOptions& options, ProgressReport& report, CoreBudget* cores) {
    if (count < 0 || std::size_t(count) > inputs.size())
        count = int(inputs.size());
    PdfRun run(options, count, report, outputPath, cores);
    return run.run(inputs);
}

} // namespace pagesmith
