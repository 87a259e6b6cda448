#include "batch/ReportText.h"

#include "base/ReportMessages.h"
#include "inspect/ReportLines.h"

namespace pagesmith {

namespace {

using Msg = ReportMessage;

std::string summaryOf(const BatchResult& result) {
    if (result.merge)
        return formatMessage<Msg::FilesMerged>(result.written) +
               (result.failed > 0 ? formatMessage<Msg::MergedFilesFailed>(result.failed) : "");
    std::string summary;
    switch (result.operation) {
    case BatchOperation::ConvertIntoFolder:
        summary = formatMessage<Msg::FilesConverted>(result.written);
        break;
    case BatchOperation::CountTotalPages:
        // Every file visited counts, readable or not; only readable ones add pages.
        return result.shortLog
                   ? formatMessage<Msg::TotalPages>(result.visited, result.totalPages)
                   : formatMessage<Msg::TotalPagesInFolder>(result.visited, result.totalPages,
                                                            shownName(result.sourceFolder));
    case BatchOperation::ConvertIntoFolderAndCount:
        summary = formatMessage<Msg::FilesConvertedWithPages>(result.written, result.totalPages);
        break;
    case BatchOperation::CountPagesEach:
        return {};
    default:
        break;
    }
    if (result.failed > 0)
        summary += formatMessage<Msg::FilesFailed>(result.failed);
    return summary;
}

} // namespace

std::string commandLead(const std::string& program, const std::string& commandLine) {
    return formatMessage<Msg::CommandLead>(shownName(program), shownName(commandLine));
}

std::string startLine(const BatchResult& result) {
    if (result.merge)
        return messageText(Msg::StartMerging);
    return result.converts ? messageText(Msg::StartConverting) : "";
}

std::string closingLines(const BatchResult& result) {
    // A stopped merge wrote nothing: none of its files is done.
    const std::string stopped =
        result.stopped
            ? formatMessage<Msg::StoppedAfter>(result.merge ? 0 : result.visited, result.selected)
            : std::string();
    return stopped + summaryOf(result);
}

std::string runLogEntry(const BatchResult& result, const std::string& lead,
                        const std::string& engineLead) {
    if (result.shortLog)
        return result.fileLines + closingLines(result);
    return lead + result.header + result.fileLines + engineLead + result.engineLines +
           closingLines(result);
}

std::string commandLineReport(const BatchResult& result, const std::string& program,
                              const std::string& commandLine) {
    return runLogEntry(result, commandLead(program, commandLine), startLine(result));
}

std::string resultsPageOpening(bool merge) {
    return std::string(messageText(merge ? Msg::WindowStartMerging : Msg::WindowStartConverting)) +
           messageText(Msg::WindowSeparator);
}

ResultsClosing resultsPageClosing(const BatchResult& result) {
    ResultsClosing closing;
    if (result.stopped)
        closing.text = formatMessage<Msg::WindowStoppedAfter>(result.visited, result.selected);
    closing.text += messageText(Msg::WindowSeparator);
    const ReportLine total = reportLine<Msg::WindowTotal>(result.written);
    closing.text += total.text;
    closing.totals = total.reason;
    if (result.failed > 0) {
        const ReportLine failed = reportLine<Msg::WindowFailed>(result.failed);
        closing.text += failed.text;
        closing.totals += ' ' + failed.reason;
    }
    return closing;
}

std::string windowLead() {
    return messageText(Msg::WindowLead);
}

std::string windowLogEntry(const BatchResult& result) {
    // The report the "Results" page showed, from its opening on, as the
    // batch wrote it.
    return runLogEntry(result, windowLead(), resultsPageOpening(result.merge));
}

std::string watchEntry(const BatchResult& round, const std::vector<FileOutcome>& files,
                       const std::string& notes, const std::string& lead) {
    std::string lines;
    int converted = 0;
    int failed = 0;
    for (const FileOutcome& file : files) {
        lines += file.lines;
        converted += file.status == FileStatus::Converted ? 1 : 0;
        failed += file.status == FileStatus::Failed ? 1 : 0;
    }
    lines += notes;
    std::string closing = formatMessage<Msg::FilesConverted>(converted);
    if (failed > 0)
        closing += formatMessage<Msg::FilesFailed>(failed);
    if (round.shortLog)
        return lines + closing;
    return lead + round.header + messageText(Msg::StartConverting) + lines + closing;
}

std::string watchNote(const std::string& note, const std::string& lead, bool shortLog) {
    return shortLog ? note : lead + note;
}

} // namespace pagesmith
