#include "engine/ConvertFiles.h"

#include "engine/BilevelRoute.h"
#include "engine/CompressionChoice.h"
#include "engine/InputPages.h"
#include "engine/OutputFile.h"
#include "engine/OutputPageSetup.h"
#include "engine/PageSettings.h"
#include "engine/threads/CoreBudget.h"
#include "engine/threads/PagePrefetch.h"
#include "platform/FileIdentity.h"

#include <exception>

namespace pagesmith {

namespace {

// One call of convertFiles: the output file, the run's settings and where its
// lines go.
class ConversionRun {
public:
    ConversionRun(const ConversionOptions& options, int inputCount, ProgressReport& report,
                  CoreBudget& cores)
        : m_options(options), m_inputCount(inputCount), m_report(report), m_cores(cores),
          m_nextPages(&cores, options, m_settings) {
        m_settings.startRun(options, inputCount, ReadAhead{&cores, &m_nextPages});
    }

    int run(const std::vector<std::string>& inputs, const std::string& outputBase);

private:
    enum class PageOutcome { Next, EndRun, ScratchUnavailable };

    bool outputIsAnInput(const std::vector<std::string>& inputs) const;
    PageOutcome copyInputs(const std::vector<std::string>& inputs);
    int finish(PageOutcome outcome);
    void writeFailure(const char* format, const std::string& path) const;
    // What the input said about its page list; false when it said nothing.
    bool writeProblem(const InputPages& input) const;
    PageOutcome convertPage(TIFF* in, int pageIndex);
    PageOutcome copyPage(TIFF* in, int pageIndex);
    PageOutcome ditherPage(TIFF* in, int pageIndex);
    void writeRefusal(const std::string& refusal) const;
    void writePageLine(const char* format, int pageIndex) const;
    void discardOutputPage();
    static bool pixelsStarted(TIFF* out);

    const ConversionOptions& m_options;
    const int m_inputCount;
    ProgressReport& m_report;
    CoreBudget& m_cores;
    PageSettings m_settings;
    PagePrefetch m_nextPages; // reads m_settings
    std::string m_outputPath;
    OutputFile m_output;
    int m_pagesWritten = 0;
};

bool ConversionRun::outputIsAnInput(const std::vector<std::string>& inputs) const {
    for (int i = 0; i < m_inputCount; ++i) {
        if (platform::sameFile(InputPages::fileOf(inputs[i]), m_outputPath)) {
            writeReportLine(m_report, "  -- Failed: output is the same file as the input %s\r\n",
                            inputs[i].c_str());
            return true;
        }
    }
    return false;
}

int ConversionRun::run(const std::vector<std::string>& inputs, const std::string& outputBase) {
    m_outputPath = outputBase;
    applyCompressionMode(m_options.compressionMode, m_outputPath, m_options.keepName, m_settings);
    m_outputPath += ".tif";

    // The output takes its name over at the end: it must not be one of the
    // files read.
    if (outputIsAnInput(inputs)) {
        m_report.noteFailure();
        return kConvertOutputUnusable;
    }
    if (!m_output.open(m_outputPath, m_options.append != 0)) {
        writeFailure("  -- Failed: cannot create %s\r\n", m_outputPath);
        return kConvertOutputUnusable;
    }
    return finish(copyInputs(inputs));
}

ConversionRun::PageOutcome ConversionRun::copyInputs(const std::vector<std::string>& inputs) {
    const char* lineFormat = m_inputCount == 1 ? "Convert: %s -> %s\r\n" : "Merge:   %s -> %s\r\n";
    for (int i = 0; i < m_inputCount; ++i) {
        m_report.inputStarted(std::size_t(i));
        InputPages input;
        if (!input.open(inputs[i])) {
            writeProblem(input);
            writeFailure("  -- Failed: cannot open %s\r\n", inputs[i]);
            continue;
        }
        writeReportLine(m_report, lineFormat, inputs[i].c_str(), m_outputPath.c_str());
        const bool nextReadWhole =
            i + 1 < m_inputCount && InputPages::fileOf(inputs[i + 1]) == inputs[i + 1];
        int pageIndex = 0;
        do {
            // A page may be decoded ahead while the one before is written.
            m_nextPages.setInput(input.readsInOrder(),
                                 nextReadWhole ? inputs[i + 1] : std::string());
            const PageOutcome outcome = convertPage(input.tiff(), pageIndex);
            if (outcome != PageOutcome::Next)
                return outcome;
            ++pageIndex;
        } while (input.nextPage());
        // A page list that names a page the file does not have.
        if (writeProblem(input))
            m_report.noteFailure();
    }
    return PageOutcome::Next;
}

bool ConversionRun::writeProblem(const InputPages& input) const {
    if (input.problem().empty())
        return false;
    writeReportLine(m_report, "  -- %s\r\n", input.problem().c_str());
    return true;
}

// The output keeps the pages written, under its own name; with none, the run
// says so and leaves no file behind.
int ConversionRun::finish(PageOutcome outcome) {
    m_report.stepStarted();
    const bool scratchFailed = outcome == PageOutcome::ScratchUnavailable;
    if (scratchFailed)
        m_report.noteFailure();
    if (m_pagesWritten == 0) {
        m_output.discard();
        writeFailure("  -- Failed: no page written to %s\r\n", m_outputPath);
        return scratchFailed ? kConvertScratchUnusable : kConvertNoPageWritten;
    }
    if (!m_output.commit()) {
        writeFailure("  -- Failed: cannot create %s\r\n", m_outputPath);
        return kConvertOutputUnusable;
    }
    return scratchFailed ? kConvertScratchUnusable : kConvertDone;
}

void ConversionRun::writeFailure(const char* format, const std::string& path) const {
    writeReportLine(m_report, format, path.c_str());
    m_report.noteFailure();
}

ConversionRun::PageOutcome ConversionRun::convertPage(TIFF* in, int pageIndex) {
    m_report.stepStarted();
    m_settings.startPage(m_options);
    if (takesBilevelRoute(in, m_settings))
        return ditherPage(in, pageIndex);
    return copyPage(in, pageIndex);
}

ConversionRun::PageOutcome ConversionRun::copyPage(TIFF* in, int pageIndex) {
    PageSetupResult setup = PageSetupResult::Failed;
    bool copied = false;
    try {
        setup = setupOutputPage(in, m_output.tiff(), m_settings);
        copied = setup == PageSetupResult::Copied && TIFFWriteDirectory(m_output.tiff());
    } catch (const std::exception&) {
        discardOutputPage();
        m_report.noteFailure();
        m_report.showError(
            "Exception Error",
            "Fail to convert this tiff file, try to convert it to another compression mode");
        return PageOutcome::Next;
    }
    if (copied) {
        ++m_pagesWritten;
        writePageLine("  -- Page %d success\r\n", pageIndex);
        return PageOutcome::Next;
    }
    if (setup == PageSetupResult::BilevelRejected)
        writeReportLine(m_report, "  -- Failed to convert as you're trying to convert grayscale "
                                  "or color tiff to B&W tiff\r\n");
    if (setup == PageSetupResult::NoCopyRoutine)
        writeReportLine(m_report, "  -- tiffcp: %s: Don't know how to copy/convert image.\r\n",
                        TIFFFileName(in));
    writeRefusal(m_settings.refusal);
    writePageLine("  -- Page %d failed\r\n", pageIndex);
    m_report.noteFailure();
    // The pages before stay; the half-made page does not go into the file.
    discardOutputPage();
    return PageOutcome::EndRun;
}

ConversionRun::PageOutcome ConversionRun::ditherPage(TIFF* in, int pageIndex) {
    std::string refusal;
    switch (convertPageToBilevel(in, m_output.tiff(), m_options.compressionMode, m_options.tempFile,
                                 &m_cores, &refusal)) {
    case BilevelOutcome::Dithered:
        if (TIFFWriteDirectory(m_output.tiff())) {
            ++m_pagesWritten;
            return PageOutcome::Next;
        }
        break;
    case BilevelOutcome::PageFailed:
        break;
    case BilevelOutcome::ScratchUnavailable:
        discardOutputPage();
        return PageOutcome::ScratchUnavailable;
    }
    writeRefusal(refusal);
    writePageLine("  -- Page %d failed\r\n", pageIndex);
    m_report.noteFailure();
    discardOutputPage();
    return PageOutcome::Next;
}

// Why a page of a kind the run cannot convert was refused, before its
// failed line.
void ConversionRun::writeRefusal(const std::string& refusal) const {
    if (!refusal.empty())
        writeReportLine(m_report, "  -- %s\r\n", refusal.c_str());
}

void ConversionRun::writePageLine(const char* format, int pageIndex) const {
    if (!m_options.shortLog)
        writeReportLine(m_report, format, pageIndex);
}

// Whether the output's current page has begun to receive pixel data.
bool ConversionRun::pixelsStarted(TIFF* out) {
    std::uint64_t* offsets = nullptr;
    return TIFFGetField(out, TIFFTAG_STRIPOFFSETS, &offsets) && offsets;
}

// Keeps a page that went wrong out of the file, so that neither the next page
// nor the flush at close writes its half-made directory.
void ConversionRun::discardOutputPage() {
    TIFF* out = m_output.tiff();
    if (pixelsStarted(out)) {
        // The library cannot take back a page it has begun to write: finish
        // it as far as it got, as closing the file would.
        TIFFWriteDirectory(out);
        return;
    }
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_NONE); // releases the codec's state
    TIFFFreeDirectory(out);
    TIFFCreateDirectory(out);
}

} // namespace

std::string outputPathOf(const std::string& outputBase, const ConversionOptions& options) {
    std::string path = outputBase;
    PageSettings unused;
    applyCompressionMode(options.compressionMode, path, options.keepName, unused);
    return path + ".tif";
}

int convertFiles(int count, const std::vector<std::string>& inputs, const std::string& outputBase,
                 const ConversionOptions& options, ProgressReport& report) {
    CoreBudget cores(CoreBudget::coresFor(options.threads));
    return convertFiles(count, inputs, outputBase, options, report, cores);
}

int convertFiles(int count, const std::vector<std::string>& inputs, const std::string& outputBase,
                 const ConversionOptions& options, ProgressReport& report, CoreBudget& cores) {
    if (count < 0 || std::size_t(count) > inputs.size())
        count = int(inputs.size());
    ConversionRun run(options, count, report, cores);
    return run.run(inputs, outputBase);
}

} // namespace pagesmith
