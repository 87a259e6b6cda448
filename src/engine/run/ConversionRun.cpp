#include "engine/run/ConversionRun.h"

#include "engine/run/InputPages.h"
#include "engine/run/PageSink.h"
#include "inspect/ReportLines.h"
#include "platform/FileIdentity.h"

namespace pagesmith {

ConversionRun::ConversionRun(const ConversionOptions& options, ProgressReport& report,
                             PageSink& output)
    : m_options(options), m_lines(report, options.shortLog != 0), m_output(output) {}

bool ConversionRun::outputIsAnInput(const std::vector<std::string>& inputs) {
    for (const std::string& input : inputs) {
        if (platform::sameFile(InputPages::fileOf(input), m_output.path())) {
            writeMessage<ReportMessage::OutputIsAnInput>(m_lines, shownName(input));
            m_lines.noteFailure();
            return true;
        }
    }
    return false;
}

ConvertResult ConversionRun::run(const std::vector<std::string>& inputs) {
    m_inputCount = inputs.size();
    // The output takes its name over at the end: it must not be one of the
    // files read.
    if (outputIsAnInput(inputs))
        return ConvertResult::OutputUnusable;
    const bool begun = !interrupted() && m_output.begin();
    if (interrupted())
        return stop();
    if (!begun) {
        writeMessage<ReportMessage::CannotCreate>(m_lines, shownName(m_output.path()));
        m_lines.noteFailure();
        return ConvertResult::OutputUnusable;
    }
    return finish(copyInputs(inputs));
}

ConversionRun::Outcome ConversionRun::copyInputs(const std::vector<std::string>& inputs) {
    for (std::size_t i = 0; i < m_inputCount; ++i) {
        if (interrupted())
            return Outcome::Stopped;
        m_lines.inputStarted(i);
        m_lines.linesOfInput(i);
        InputPages input;
        if (!input.open(inputs[i])) {
            writeProblem(input);
            writeMessage<ReportMessage::CannotOpen>(m_lines, shownName(inputs[i]));
            m_lines.noteFailure();
            continue;
        }
        // A page may be read ahead while the one before is written, across
        // inputs too where the next is read whole.
        const bool nextReadWhole =
            i + 1 < m_inputCount && InputPages::fileOf(inputs[i + 1]) == inputs[i + 1];
        m_output.inputOpened(input, nextReadWhole ? inputs[i + 1] : std::string());
        const Outcome outcome = copyPages(input, inputs, i);
        if (outcome == Outcome::OutputFailed)
            writeNotMerged(inputs, i + 1);
        if (outcome != Outcome::Next)
            return outcome;
    }
    return Outcome::Next;
}

// The inputs of a merge that an output which cannot take more never reached.
void ConversionRun::writeNotMerged(const std::vector<std::string>& inputs, std::size_t first) {
    for (std::size_t i = first; i < m_inputCount; ++i) {
        m_lines.linesOfInput(i);
        writeMessage<ReportMessage::NotMerged>(m_lines, shownName(inputs[i]),
                                               shownName(m_output.path()));
        m_lines.noteFailure();
    }
}

// Every page the input counts gets its line; a page that fails, even one
// whose directory cannot be read, is followed by the next.
ConversionRun::Outcome
ConversionRun::copyPages(InputPages& input, const std::vector<std::string>& inputs, std::size_t i) {
    if (m_inputCount == 1)
        writeMessage<ReportMessage::ConvertLine>(m_lines, shownName(inputs[i]),
                                                 shownName(m_output.path()));
    else
        writeMessage<ReportMessage::MergeLine>(m_lines, shownName(inputs[i]),
                                               shownName(m_output.path()));
    int lastPage = 0;
    InputPages::Step step = InputPages::Step::Page;
    for (int pageIndex = 0; step != InputPages::Step::End; ++pageIndex, step = input.nextPage()) {
        if (interrupted())
            return Outcome::Stopped;
        lastPage = pageIndex;
        m_lines.stepStarted();
        if (step == InputPages::Step::Unreadable) {
            writeMessage<ReportMessage::DirectoryUnreadable>(m_lines, pageIndex);
            if (pageFailed(pageIndex) != Outcome::Next)
                return Outcome::OutputFailed;
            continue;
        }
        const Outcome outcome = addPage(input.tiff(), pageIndex);
        if (outcome != Outcome::Next)
            return outcome;
    }
    if (input.chainBroken()) {
        m_lines.stepStarted();
        writeMessage<ReportMessage::PagesUnreachable>(m_lines, lastPage);
        m_lines.noteFailure();
    }
    // A page list that names a page the file does not have.
    if (!input.problem().empty()) {
        writeProblem(input);
        m_lines.noteFailure();
    }
    return Outcome::Next;
}

void ConversionRun::writeProblem(const InputPages& input) {
    if (!input.problem().empty())
        writeMessage<ReportMessage::Reason>(m_lines, input.problem());
}

ConversionRun::Outcome ConversionRun::addPage(TIFF* in, int pageIndex) {
    AddedPage added;
    switch (m_output.addPage(in, pageIndex, m_lines, added)) {
    case PageStep::Added:
        return pageAdded(added, pageIndex);
    case PageStep::Failed:
        return pageFailed(pageIndex);
    case PageStep::OutputFailed:
        return outputFailed(pageIndex);
    case PageStep::ScratchUnavailable:
        return Outcome::ScratchUnavailable;
    case PageStep::Stopped:
        break;
    }
    return Outcome::Stopped;
}

ConversionRun::Outcome ConversionRun::pageAdded(const AddedPage& page, int pageIndex) {
    // A page of which nothing could be read is no page: it comes out again.
    if (page.damageKnown && page.damage && page.length > 0 &&
        page.damage->blankRows(page.length) == page.length) {
        writeMessage<ReportMessage::NoRowReadable>(m_lines, unsigned(page.length), pageIndex);
        if (!m_output.removeLastPage())
            return outputFailed(pageIndex);
        writePageFailed(pageIndex);
        m_lines.noteFailure();
        return Outcome::Next;
    }
    ++m_pagesAdded;
    m_lines.holdPage(pageIndex, page.sourcePage, page.length, page.damage);
    return Outcome::Next;
}

ConversionRun::Outcome ConversionRun::pageFailed(int pageIndex) {
    // The pages before stay; the half-made page does not go into the output.
    if (!m_output.dropPage())
        return outputFailed(pageIndex);
    writePageFailed(pageIndex);
    m_lines.noteFailure();
    return Outcome::Next;
}

// The output cannot take more: the run ends, and the output is not kept.
ConversionRun::Outcome ConversionRun::outputFailed(int pageIndex) {
    writeMessage<ReportMessage::CannotWrite>(m_lines, shownName(m_output.path()));
    writePageFailed(pageIndex);
    m_lines.noteFailure();
    return Outcome::OutputFailed;
}

void ConversionRun::writePageFailed(int pageIndex) {
    if (!m_options.shortLog)
        writeMessage<ReportMessage::PageFailed>(m_lines, pageIndex);
}

// The output keeps the pages added, under its own name; with none, the run
// says so and leaves no file behind. Page lines held for the output's name
// come out here, saying what became of their page.
ConvertResult ConversionRun::finish(Outcome outcome) {
    switch (outcome) {
    case Outcome::Stopped:
        return stop();
    case Outcome::OutputFailed:
        m_output.abandon();
        m_lines.release(false);
        return ConvertResult::OutputUnusable;
    case Outcome::ScratchUnavailable:
    case Outcome::Next:
        break;
    }
    const bool scratchFailed = outcome == Outcome::ScratchUnavailable;
    if (m_pagesAdded == 0) {
        m_output.abandon();
        m_lines.release(false);
        m_lines.stepStarted();
        if (scratchFailed)
            m_lines.noteFailure();
        writeMessage<ReportMessage::NoPageWritten>(m_lines, shownName(m_output.path()));
        m_lines.noteFailure();
        return scratchFailed ? ConvertResult::ScratchUnusable : ConvertResult::NoPageWritten;
    }
    const OutputEnd end = m_output.finish();
    if (end == OutputEnd::Stopped)
        return stop();
    const bool written = end == OutputEnd::Written;
    m_lines.release(written);
    m_lines.stepStarted();
    if (scratchFailed)
        m_lines.noteFailure();
    if (!written) {
        writeMessage<ReportMessage::CannotCreate>(m_lines, shownName(m_output.path()));
        m_lines.noteFailure();
        return ConvertResult::OutputUnusable;
    }
    return scratchFailed ? ConvertResult::ScratchUnusable : ConvertResult::Done;
}

// Told to stop from outside: nothing is written, and the report says so.
ConvertResult ConversionRun::stop() {
    m_output.abandon();
    m_lines.release(false);
    m_lines.stepStarted();
    writeMessage<ReportMessage::StoppedNotWritten>(m_lines, shownName(m_output.path()));
    m_lines.noteFailure();
    return ConvertResult::Stopped;
}

} // namespace pagesmith
