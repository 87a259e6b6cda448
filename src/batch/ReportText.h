#pragma once

#include "batch/BatchResult.h"

#include <string>
#include <vector>

namespace pagesmith {

// Every place a batch's report is shown is made here from its result: the
// run-log entry and results box of a command-line run, the run-log entry and
// "Results" page of a window job, and the entries of a watch.

// How a command-line run's entry begins: the program and what it was given.
std::string commandLead(const std::string& program, const std::string& commandLine);

// The line a command-line report puts before the engine's lines: "Start
// converting ...", "Start merging ..."; none for the counting operations.
std::string startLine(const BatchResult& result);

// The lines that close a run-log entry: how far a stopped run got, then the
// operation's summary and the files that failed.
std::string closingLines(const BatchResult& result);

// A batch's run-log entry (without its time): `lead`, the header, the file
// lines, `engineLead` and the engine's lines, the closing lines. A short log
// has neither lead nor header nor the engine's part.
std::string runLogEntry(const BatchResult& result, const std::string& lead,
                        const std::string& engineLead);

// A command-line run's entry, also the text of its results box.
std::string commandLineReport(const BatchResult& result, const std::string& program,
                              const std::string& commandLine);

// The "Results" page of a window job: how it opens (also the engine's lead in
// the job's run-log entry), then the lines as the job reports them, then how
// it closes, with the totals alone for the job-total pane.
std::string resultsPageOpening(bool merge);
struct ResultsClosing {
    std::string text;
    std::string totals; // the total lines, trimmed, on one line
};
ResultsClosing resultsPageClosing(const BatchResult& result);

// A window job's run-log entry.
std::string windowLogEntry(const BatchResult& result);

// How a window's run-log entries begin, unless the log is short.
std::string windowLead();

// An entry of a watch for files of a round (each of `round`'s `files`, which
// the watch reports now): their lines, `notes` after them, and the summary of
// what they came to.
std::string watchEntry(const BatchResult& round, const std::vector<FileOutcome>& files,
                       const std::string& notes, const std::string& lead);

// An entry of a watch about its folder (gone, back).
std::string watchNote(const std::string& note, const std::string& lead, bool shortLog);

} // namespace pagesmith
