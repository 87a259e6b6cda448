#pragma once

#include <string>

namespace pagesmith {

struct FileOutcome;

// Follows a batch run as it goes, for whoever shows it (the command line's
// progress line and boxes, the window's job), and may stop it. Everything is
// called on the thread that runs the batch, file by file in list order,
// whatever the threads the files are converted on. The run's result holds
// all of it again at the end.
class BatchObserver {
public:
    virtual ~BatchObserver() = default;

    // Work begins on the file at `path`, after `done` of the `total` files
    // that take part (for a merge: its inputs, in merge order).
    virtual void fileStarted(int /*done*/, int /*total*/, const std::string& /*path*/) {}

    // A line of the report, as the file it belongs to writes it: its own
    // refusal or page count, then what its conversion said.
    virtual void reportLine(const std::string& /*text*/) {}

    // A file has ended (for a merge: each input, once the merged file is done).
    virtual void fileFinished(const FileOutcome& /*outcome*/) {}

    // A fault that no report line can carry, for a message box.
    virtual void faultShown(const std::string& /*caption*/, const std::string& /*text*/) {}

    // Asked before each file of a conversion or count: true ends the run
    // there, between two files, so no output is left half-written. A merge
    // writes one output and runs whole once begun.
    virtual bool stopRequested() { return false; }
};

} // namespace pagesmith
