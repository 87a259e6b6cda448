#include "engine/run/ConvertFiles.h"

#include "base/MemoryLimits.h"
#include "engine/CompressionChoice.h"
#include "engine/fax/BilevelRoute.h"
#include "engine/run/HeldReport.h"
#include "engine/run/InputPages.h"
#include "engine/run/PdfConversion.h"
#include "engine/samples/ReadDamage.h"
#include "engine/threads/CoreBudget.h"
#include "engine/tiffout/FloatingSampleLimits.h"
#include "engine/tiffout/OutputFile.h"
#include "engine/tiffout/OutputPageSetup.h"
#include "engine/tiffout/PagePrefetch.h"
#include "engine/tiffout/PageSettings.h"
#include "platform/FileIdentity.h"

#include <algorithm>
#include <exception>

namespace pagesmith {

namespace {

// No TIFF sample is wider than a double.
constexpr std::uint16_t kWidestSample = 64;

constexpr const char* kExceptionText =
    "Fail to convert this tiff file, try to convert it to another compression mode";

// One call of convertFiles: the output file, the run's settings and where its
// lines go.
class ConversionRun {
public:
    ConversionRun(const ConversionOptions& options, int inputCount, ProgressReport& report,
                  CoreBudget& cores)
        : m_options(options), m_inputCount(inputCount), m_lines(report), m_cores(cores),
          m_nextPages(&cores, options, m_settings) {
        m_settings.startRun(options, inputCount, ReadAhead{&cores, &m_nextPages});
    }

    int run(const std::vector<std::string>& inputs, const std::string& outputBase);

private:
    enum class PageOutcome { Next, OutputFailed, ScratchUnavailable, Stopped };

    bool outputIsAnInput(const std::vector<std::string>& inputs);
    PageOutcome copyInputs(const std::vector<std::string>& inputs);
    PageOutcome copyPages(InputPages& input, const std::vector<std::string>& inputs, int i);
    void writeNotMerged(const std::vector<std::string>& inputs, int first);
    int finish(PageOutcome outcome);
    void writeFailure(const char* format, const std::string& path);
    // What the input said about its page list; false when it said nothing.
    bool writeProblem(const InputPages& input);
    PageOutcome convertPage(TIFF* in, int pageIndex);
    PageOutcome copyPage(TIFF* in, int pageIndex);
    void writeSetupFailure(TIFF* in, PageSetupResult setup, int pageIndex);
    void writeRefusal(const std::string& refusal);
    PageOutcome ditherPage(TIFF* in, int pageIndex);
    // The page's directory is written: its line, or, when nothing of it could
    // be read, its failure and its removal.
    PageOutcome pageWritten(TIFF* in, int pageIndex, const ReadDamage& damage);
    // A page that did not go into the output, after its reason lines.
    PageOutcome pageFailed(int pageIndex);
    PageOutcome outputFailed(int pageIndex);
    void writePageLine(const char* format, int pageIndex);
    bool interrupted() const;
    // Takes the page in hand out of the output; false when the output
    // cannot be written any more.
    bool dropOutputPage();
    // Takes the page whose directory was just written out of the output.
    bool unlinkWrittenPage();
    static bool pixelsStarted(TIFF* out);

    const ConversionOptions& m_options;
    const int m_inputCount;
    HeldReport m_lines;
    CoreBudget& m_cores;
    PageSettings m_settings;
    PagePrefetch m_nextPages; // reads m_settings
    std::string m_outputPath;
    OutputFile m_output;
    int m_pagesWritten = 0; // by this run
};

bool ConversionRun::outputIsAnInput(const std::vector<std::string>& inputs) {
    for (int i = 0; i < m_inputCount; ++i) {
        if (platform::sameFile(InputPages::fileOf(inputs[i]), m_outputPath)) {
            writeReportLine(m_lines, "  -- Failed: output is the same file as the input %s\r\n",
                            shownName(inputs[i]).c_str());
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
        m_lines.noteFailure();
        return kConvertOutputUnusable;
    }
    const bool opened = !interrupted() &&
                        m_output.open(m_outputPath, m_options.append != 0, m_options.interruption);
    if (interrupted())
        return finish(PageOutcome::Stopped);
    if (!opened) {
        writeFailure("  -- Failed: cannot create %s\r\n", m_outputPath);
        return kConvertOutputUnusable;
    }
    return finish(copyInputs(inputs));
}

ConversionRun::PageOutcome ConversionRun::copyInputs(const std::vector<std::string>& inputs) {
    for (int i = 0; i < m_inputCount; ++i) {
        if (interrupted())
            return PageOutcome::Stopped;
        m_lines.inputStarted(std::size_t(i));
        m_lines.linesOfInput(std::size_t(i));
        InputPages input;
        if (!input.open(inputs[i])) {
            writeProblem(input);
            writeFailure("  -- Failed: cannot open %s\r\n", inputs[i]);
            continue;
        }
        const PageOutcome outcome = copyPages(input, inputs, i);
        if (outcome == PageOutcome::OutputFailed)
            writeNotMerged(inputs, i + 1);
        if (outcome != PageOutcome::Next)
            return outcome;
    }
    return PageOutcome::Next;
}

// The inputs of a merge that an output which cannot take more never reached.
void ConversionRun::writeNotMerged(const std::vector<std::string>& inputs, int first) {
    for (int i = first; i < m_inputCount; ++i) {
        m_lines.linesOfInput(std::size_t(i));
        writeReportLine(m_lines, "  -- Failed: %s not merged: %s cannot be written\r\n",
                        shownName(inputs[i]).c_str(), shownName(m_outputPath).c_str());
        m_lines.noteFailure();
    }
}

// Every page the input counts gets its line; a page that fails, even one
// whose directory cannot be read, is followed by the next.
ConversionRun::PageOutcome ConversionRun::copyPages(InputPages& input,
                                                    const std::vector<std::string>& inputs, int i) {
    writeReportLine(m_lines, m_inputCount == 1 ? "Convert: %s -> %s\r\n" : "Merge:   %s -> %s\r\n",
                    shownName(inputs[i]).c_str(), shownName(m_outputPath).c_str());
    const bool nextReadWhole =
        i + 1 < m_inputCount && InputPages::fileOf(inputs[i + 1]) == inputs[i + 1];
    int lastPage = 0;
    InputPages::Step step = InputPages::Step::Page;
    for (int pageIndex = 0; step != InputPages::Step::End; ++pageIndex, step = input.nextPage()) {
        if (interrupted())
            return PageOutcome::Stopped;
        lastPage = pageIndex;
        if (step == InputPages::Step::Unreadable) {
            m_lines.stepStarted();
            writeReportLine(m_lines, "  -- Failed: the directory of page %d cannot be read\r\n",
                            pageIndex);
            if (pageFailed(pageIndex) != PageOutcome::Next)
                return PageOutcome::OutputFailed;
            continue;
        }
        // A page may be decoded ahead while the one before is written.
        m_nextPages.setInput(input.readsInOrder(), nextReadWhole ? inputs[i + 1] : std::string());
        const PageOutcome outcome = convertPage(input.tiff(), pageIndex);
        if (outcome != PageOutcome::Next)
            return outcome;
    }
    if (input.chainBroken()) {
        m_lines.stepStarted();
        writeReportLine(m_lines, "  -- Failed: the pages after page %d cannot be reached\r\n",
                        lastPage);
        m_lines.noteFailure();
    }
    // A page list that names a page the file does not have.
    if (writeProblem(input))
        m_lines.noteFailure();
    return PageOutcome::Next;
}

bool ConversionRun::writeProblem(const InputPages& input) {
    if (input.problem().empty())
        return false;
    writeReportLine(m_lines, "  -- %s\r\n", input.problem().c_str());
    return true;
}

// The output keeps the pages written, under its own name; with none, the run
// says so and leaves no file behind. Page lines held for the output's name
// come out here, saying what became of their page.
int ConversionRun::finish(PageOutcome outcome) {
    switch (outcome) {
    case PageOutcome::Stopped:
        m_output.discard();
        m_lines.release(false);
        m_lines.stepStarted();
        writeFailure("  -- Stopped: %s not written\r\n", m_outputPath);
        return kConvertStopped;
    case PageOutcome::OutputFailed:
        m_output.discard();
        m_lines.release(false);
        return kConvertOutputUnusable;
    case PageOutcome::ScratchUnavailable:
    case PageOutcome::Next:
        break;
    }
    const bool scratchFailed = outcome == PageOutcome::ScratchUnavailable;
    if (m_pagesWritten == 0) {
        m_output.discard();
        m_lines.release(false);
        m_lines.stepStarted();
        if (scratchFailed)
            m_lines.noteFailure();
        writeFailure("  -- Failed: no page written to %s\r\n", m_outputPath);
        return scratchFailed ? kConvertScratchUnusable : kConvertNoPageWritten;
    }
    const bool committed = m_output.commit();
    m_lines.release(committed);
    m_lines.stepStarted();
    if (scratchFailed)
        m_lines.noteFailure();
    if (!committed) {
        writeFailure("  -- Failed: cannot create %s\r\n", m_outputPath);
        return kConvertOutputUnusable;
    }
    return scratchFailed ? kConvertScratchUnusable : kConvertDone;
}

void ConversionRun::writeFailure(const char* format, const std::string& path) {
    writeReportLine(m_lines, format, shownName(path).c_str());
    m_lines.noteFailure();
}

ConversionRun::PageOutcome ConversionRun::convertPage(TIFF* in, int pageIndex) {
    m_lines.stepStarted();
    m_settings.startPage(m_options);
    // A page whose codec this build lacks has nothing to give: said here
    // rather than written blank.
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFIsCODECConfigured(compression)) {
        writeReportLine(m_lines,
                        "  -- Failed: page %d is compressed with %u, which cannot be read\r\n",
                        pageIndex, unsigned(compression));
        return pageFailed(pageIndex);
    }
    // Written out as it goes, not held a strip at a time.
    TIFFWriteBufferSetup(m_output.tiff(), nullptr, tmsize_t(kOutputBufferBytes));
    if (takesBilevelRoute(in, m_settings))
        return ditherPage(in, pageIndex);
    return copyPage(in, pageIndex);
}

ConversionRun::PageOutcome ConversionRun::copyPage(TIFF* in, int pageIndex) {
    const ReadDamage damage(in);
    PageSetupResult setup = PageSetupResult::Failed;
    bool written = false;
    try {
        setup = setupOutputPage(in, m_output.tiff(), m_settings);
        written = setup == PageSetupResult::Copied && TIFFWriteDirectory(m_output.tiff());
    } catch (const std::exception&) {
        m_lines.showError("Exception Error", kExceptionText);
        writeReportLine(m_lines, "  -- Failed: %s\r\n", kExceptionText);
        return pageFailed(pageIndex);
    }
    if (interrupted())
        return PageOutcome::Stopped;
    if (written && !keepFloatingSampleLimits(in, m_output.tiff()))
        return outputFailed(pageIndex);
    if (written)
        return pageWritten(in, pageIndex, damage);
    if (m_output.writeFailed())
        return outputFailed(pageIndex);
    writeSetupFailure(in, setup, pageIndex);
    return pageFailed(pageIndex);
}

void ConversionRun::writeSetupFailure(TIFF* in, PageSetupResult setup, int pageIndex) {
    switch (setup) {
    case PageSetupResult::BilevelRejected:
        writeReportLine(m_lines, "  -- Failed to convert as you're trying to convert grayscale "
                                 "or color tiff to B&W tiff\r\n");
        break;
    case PageSetupResult::NoCopyRoutine:
        writeReportLine(m_lines, "  -- tiffcp: %s: Don't know how to copy/convert image.\r\n",
                        shownName(TIFFFileName(in)).c_str());
        break;
    case PageSetupResult::Failed:
    case PageSetupResult::Copied:
        break;
    }
    if (!m_settings.refusal.empty()) {
        writeRefusal(m_settings.refusal);
        return;
    }
    if (setup != PageSetupResult::Failed)
        return;
    std::uint16_t bitsPerSample = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    if (bitsPerSample == 0 || bitsPerSample > kWidestSample)
        writeReportLine(m_lines, "  -- Failed: page %d claims %u bits per sample\r\n", pageIndex,
                        unsigned(bitsPerSample));
    else
        writeReportLine(m_lines, "  -- Failed: the pixels of page %d cannot be copied\r\n",
                        pageIndex);
}

// Why a page of a kind the run cannot convert was refused, before its
// failed line.
void ConversionRun::writeRefusal(const std::string& refusal) {
    if (!refusal.empty())
        writeReportLine(m_lines, "  -- %s\r\n", refusal.c_str());
}

ConversionRun::PageOutcome ConversionRun::ditherPage(TIFF* in, int pageIndex) {
    const ReadDamage damage(in);
    std::string refusal;
    switch (convertPageToBilevel(in, m_output.tiff(), m_options.compressionMode, m_options.tempFile,
                                 &m_cores, &refusal)) {
    case BilevelOutcome::Dithered:
        if (TIFFWriteDirectory(m_output.tiff()))
            return pageWritten(in, pageIndex, damage);
        break;
    case BilevelOutcome::PageFailed:
        break;
    case BilevelOutcome::ScratchUnavailable:
        dropOutputPage();
        return PageOutcome::ScratchUnavailable;
    }
    if (interrupted())
        return PageOutcome::Stopped;
    if (m_output.writeFailed())
        return outputFailed(pageIndex);
    // The route stops at a row it cannot read.
    if (refusal.empty() && damage.unreadRows() > 0)
        writeReportLine(m_lines, "  -- Failed: a row of page %d could not be read\r\n", pageIndex);
    else if (refusal.empty())
        writeReportLine(m_lines, "  -- Failed: page %d cannot be dithered to black and white\r\n",
                        pageIndex);
    writeRefusal(refusal);
    return pageFailed(pageIndex);
}

ConversionRun::PageOutcome ConversionRun::pageWritten(TIFF* in, int pageIndex,
                                                      const ReadDamage& damage) {
    std::uint32_t length = 0;
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    const std::uint64_t unread = std::min<std::uint64_t>(damage.unreadRows(), length);
    if (length > 0 && unread == length) {
        writeReportLine(m_lines, "  -- Failed: none of the %u rows of page %d could be read\r\n",
                        length, pageIndex);
        if (!unlinkWrittenPage())
            return outputFailed(pageIndex);
        writePageLine("  -- Page %d failed\r\n", pageIndex);
        m_lines.noteFailure();
        return PageOutcome::Next;
    }
    ++m_pagesWritten;
    m_lines.pageWritten(int(TIFFCurrentDirectory(in)));
    if (unread > 0) {
        // Kept as far as it could be read; the rest is blank, and the file
        // that holds it has failed.
        writeReportLine(m_lines,
                        "  -- Page %d damaged: %llu of %u rows could not be read, left blank\r\n",
                        pageIndex, static_cast<unsigned long long>(unread), length);
        m_lines.noteFailure();
    } else if (!m_options.shortLog) {
        m_lines.holdPageLine(pageIndex);
    }
    return PageOutcome::Next;
}

ConversionRun::PageOutcome ConversionRun::pageFailed(int pageIndex) {
    // The pages before stay; the half-made page does not go into the file.
    if (!dropOutputPage())
        return outputFailed(pageIndex);
    writePageLine("  -- Page %d failed\r\n", pageIndex);
    m_lines.noteFailure();
    return PageOutcome::Next;
}

// The output cannot take more: the run ends, and the output is not kept.
ConversionRun::PageOutcome ConversionRun::outputFailed(int pageIndex) {
    writeReportLine(m_lines, "  -- Failed: cannot write %s\r\n", shownName(m_outputPath).c_str());
    writePageLine("  -- Page %d failed\r\n", pageIndex);
    m_lines.noteFailure();
    return PageOutcome::OutputFailed;
}

void ConversionRun::writePageLine(const char* format, int pageIndex) {
    if (!m_options.shortLog)
        writeReportLine(m_lines, format, pageIndex);
}

bool ConversionRun::interrupted() const {
    return isInterrupted(m_options);
}

// Whether the output's current page has begun to receive pixel data.
bool ConversionRun::pixelsStarted(TIFF* out) {
    std::uint64_t* offsets = nullptr;
    return TIFFGetField(out, TIFFTAG_STRIPOFFSETS, &offsets) && offsets;
}

// Keeps a page that went wrong out of the file, so that neither the next page
// nor the flush at close writes its half-made directory.
bool ConversionRun::dropOutputPage() {
    TIFF* out = m_output.tiff();
    if (!out || m_output.writeFailed())
        return false;
    if (pixelsStarted(out)) {
        // The library cannot forget a page it has begun to write: the page
        // is finished as far as it got, then taken out of the chain.
        return TIFFWriteDirectory(out) && unlinkWrittenPage();
    }
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_NONE); // releases the codec's state
    TIFFFreeDirectory(out);
    TIFFCreateDirectory(out);
    return true;
}

bool ConversionRun::unlinkWrittenPage() {
    const int pagesBefore = m_output.pagesBefore() + m_pagesWritten;
    // libtiff unlinks the first page of a file without its successors ever
    // being linked again; a new file holding nothing else starts over instead.
    if (pagesBefore == 0)
        return m_output.restart();
    return TIFFUnlinkDirectory(m_output.tiff(), tdir_t(pagesBefore + 1)) != 0;
}

} // namespace

std::string outputPathOf(const std::string& outputBase, const ConversionOptions& options) {
    std::string path = outputBase;
    PageSettings unused;
    applyCompressionMode(options.compressionMode, path, options.keepName, unused);
    const CompressionModeInfo* mode = compressionModeInfo(options.compressionMode);
    return path + (mode ? mode->extension : ".tif");
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
    // A document is a run of its own: its pages are not TIFF directories.
    if (options.compressionMode == CompressionMode::Pdf)
        return convertToPdf(count, inputs, outputPathOf(outputBase, options), options, report,
                            &cores);
    ConversionRun run(options, count, report, cores);
    return run.run(inputs, outputBase);
}

} // namespace pagesmith
