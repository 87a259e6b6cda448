#pragma once

#include "base/ReportMessages.h"

#include <cstddef>
#include <string>

namespace pagesmith {

// A conversion run's report as the engine sees it: its lines, each with what
// it says as a failure's reason, the message box of a fault that no line can
// carry, and what the caller needs to tell each input's outcome. The caller
// decides where each goes.
class ProgressReport {
public:
    virtual ~ProgressReport() = default;

    virtual void addLine(const ReportLine& line) = 0;
    virtual void showError(const std::string& caption, const std::string& text) = 0;

    // Something the run was asked to do did not go through: a page, an input
    // that cannot be read, an output that cannot be written. Its lines, where
    // it has any, are already written, since the last stepStarted: they are
    // its reason. Callers count these for the outcome of the run (the command
    // line's exit status).
    virtual void noteFailure() = 0;

    // The run begins on its input with this index (a merge has several), as
    // it happens: for progress.
    virtual void inputStarted(std::size_t /*inputIndex*/) {}

    // The lines and failures from here on are those of the input with this
    // index. This may come later than inputStarted: a run holds its page
    // lines back until its output has its name.
    virtual void linesOfInput(std::size_t /*inputIndex*/) {}

    // A step of the run begins (a page, the completion of the output): the
    // lines of a failure noted later are those written since.
    virtual void stepStarted() {}

    // Page `sourcePage` (from 0) of the input in hand went into the output,
    // as the output's next page.
    virtual void pageWritten(int /*sourcePage*/) {}
};

// Writes a message of the table as a line of the report.
template <ReportMessage code, typename... Args>
void writeMessage(ProgressReport& report, const Args&... args) {
    report.addLine(reportLine<code>(args...));
}

} // namespace pagesmith
