#include "engine/run/TiffSink.h"

#include "base/MemoryLimits.h"
#include "engine/ProgressReport.h"
#include "engine/fax/BilevelRoute.h"
#include "engine/run/InputPages.h"
#include "engine/samples/ReadDamage.h"
#include "engine/threads/CoreBudget.h"
#include "engine/tiffout/FloatingSampleLimits.h"
#include "engine/tiffout/OutputPageSetup.h"
#include "inspect/ReportLines.h"

#include <exception>

namespace pagesmith {

namespace {

// No TIFF sample is wider than a double.
constexpr std::uint16_t kWidestSample = 64;

void writeReason(ProgressReport& report, const std::string& reason) {
    if (!reason.empty())
        writeMessage<ReportMessage::Reason>(report, reason);
}

} // namespace

TiffSink::TiffSink(std::string outputPath, const ConversionOptions& options, int inputCount,
                   CoreBudget& cores)
    : m_path(std::move(outputPath)), m_options(options), m_cores(cores),
      m_nextPages(&cores, options, m_settings) {
    m_settings.startRun(options, inputCount, ReadAhead{&cores, &m_nextPages});
    std::string nameUnchanged;
    applyCompressionMode(options.compressionMode, nameUnchanged, 1, m_settings);
}

bool TiffSink::begin() {
    return m_output.open(m_path, m_options.append != 0, m_options.interruption);
}

void TiffSink::inputOpened(const InputPages& input, const std::string& nextWhole) {
    m_nextPages.setInput(input.readsInOrder(), nextWhole);
}

PageStep TiffSink::addPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& added) {
    m_settings.startPage(m_options);
    // A page whose codec this build lacks has nothing to give: said here
    // rather than written blank.
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(in, TIFFTAG_COMPRESSION, &compression);
    if (!TIFFIsCODECConfigured(compression)) {
        writeMessage<ReportMessage::CodecMissing>(report, pageIndex, unsigned(compression));
        return PageStep::Failed;
    }
    // Written out as it goes, not held a strip at a time.
    TIFFWriteBufferSetup(m_output.tiff(), nullptr, tmsize_t(kOutputBufferBytes));
    if (takesBilevelRoute(in, m_settings))
        return ditherPage(in, pageIndex, report, added);
    return copyPage(in, pageIndex, report, added);
}

PageStep TiffSink::copyPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& page) {
    const ReadDamage damage(in);
    PageSetupResult setup = PageSetupResult::Failed;
    bool written = false;
    try {
        setup = setupOutputPage(in, m_output.tiff(), m_settings);
        written = setup == PageSetupResult::Copied && TIFFWriteDirectory(m_output.tiff());
    } catch (const std::exception&) {
        const char* fault = messageText(ReportMessage::FaultText);
        report.showError(messageText(ReportMessage::FaultCaption), fault);
        writeMessage<ReportMessage::PageFault>(report, fault);
        return PageStep::Failed;
    }
    if (interrupted())
        return PageStep::Stopped;
    if (written && !keepFloatingSampleLimits(in, m_output.tiff()))
        return PageStep::OutputFailed;
    if (written)
        return added(in, damage, page);
    if (m_output.writeFailed())
        return PageStep::OutputFailed;
    writeSetupFailure(in, setup, pageIndex, report);
    return PageStep::Failed;
}

void TiffSink::writeSetupFailure(TIFF* in, PageSetupResult setup, int pageIndex,
                                 ProgressReport& report) {
    switch (setup) {
    case PageSetupResult::BilevelRejected:
        writeMessage<ReportMessage::BilevelRejected>(report);
        break;
    case PageSetupResult::NoCopyRoutine:
        writeMessage<ReportMessage::NoCopyRoutine>(report, shownName(TIFFFileName(in)));
        break;
    case PageSetupResult::Failed:
    case PageSetupResult::Copied:
        break;
    }
    if (!m_settings.refusal.empty()) {
        writeReason(report, m_settings.refusal);
        return;
    }
    if (setup != PageSetupResult::Failed)
        return;
    std::uint16_t bitsPerSample = 1;
    TIFFGetFieldDefaulted(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    if (bitsPerSample == 0 || bitsPerSample > kWidestSample)
        writeMessage<ReportMessage::ClaimedBits>(report, pageIndex, unsigned(bitsPerSample));
    else
        writeMessage<ReportMessage::PixelsNotCopied>(report, pageIndex);
}

PageStep TiffSink::ditherPage(TIFF* in, int pageIndex, ProgressReport& report, AddedPage& page) {
    const ReadDamage damage(in);
    std::string refusal;
    switch (convertPageToBilevel(in, m_output.tiff(), m_options.compressionMode, m_options.tempFile,
                                 &m_cores, &refusal)) {
    case BilevelOutcome::Dithered:
        if (TIFFWriteDirectory(m_output.tiff()))
            return added(in, damage, page);
        break;
    case BilevelOutcome::PageFailed:
        break;
    case BilevelOutcome::ScratchUnavailable:
        dropPage();
        return PageStep::ScratchUnavailable;
    }
    if (interrupted())
        return PageStep::Stopped;
    if (m_output.writeFailed())
        return PageStep::OutputFailed;
    // The route stops at a row it cannot read.
    if (refusal.empty() && damage.unreadRows() > 0)
        writeMessage<ReportMessage::RowUnreadable>(report, pageIndex);
    else if (refusal.empty())
        writeMessage<ReportMessage::NotDithered>(report, pageIndex);
    writeReason(report, refusal);
    return PageStep::Failed;
}

// The page's directory is written.
PageStep TiffSink::added(TIFF* in, const ReadDamage& damage, AddedPage& page) {
    std::uint32_t length = 0;
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    page.sourcePage = int(TIFFCurrentDirectory(in));
    page.length = length;
    page.damage = std::make_shared<const PageDamage>(PageDamage{damage.unreadRows(), false});
    page.damageKnown = true;
    ++m_pagesAdded;
    return PageStep::Added;
}

OutputEnd TiffSink::finish() {
    return m_output.commit() ? OutputEnd::Written : OutputEnd::Failed;
}

// Whether the output's current page has begun to receive pixel data.
bool TiffSink::pixelsStarted(TIFF* out) {
    std::uint64_t* offsets = nullptr;
    return TIFFGetField(out, TIFFTAG_STRIPOFFSETS, &offsets) && offsets;
}

// Keeps a page that went wrong out of the file, so that neither the next page
// nor the flush at close writes its half-made directory.
bool TiffSink::dropPage() {
    TIFF* out = m_output.tiff();
    if (!out || m_output.writeFailed())
        return false;
    if (pixelsStarted(out)) {
        // The library cannot forget a page it has begun to write: the page
        // is finished as far as it got, then taken out of the chain.
        if (!TIFFWriteDirectory(out))
            return false;
        ++m_pagesAdded;
        return removeLastPage();
    }
    TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_NONE); // releases the codec's state
    TIFFFreeDirectory(out);
    TIFFCreateDirectory(out);
    return true;
}

bool TiffSink::removeLastPage() {
    --m_pagesAdded;
    const int pagesBefore = m_output.pagesBefore() + m_pagesAdded;
    // libtiff unlinks the first page of a file without its successors ever
    // being linked again; a new file holding nothing else starts over instead.
    if (pagesBefore == 0)
        return m_output.restart();
    return TIFFUnlinkDirectory(m_output.tiff(), tdir_t(pagesBefore + 1)) != 0;
}

} // namespace pagesmith
