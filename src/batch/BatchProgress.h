#pragma once

#include <string>

namespace pagesmith {

// Follows a batch run file by file, for a progress display (the command
// line's progress line, the window's progress window) and a way to stop it.
// Called on the thread that runs the batch, in list order.
class BatchProgress {
public:
    virtual ~BatchProgress() = default;

    // Work begins on the file at `path`, after `done` of the `total` files
    // that take part (for a merge: its inputs, in merge order).
    virtual void fileStarted(int done, int total, const std::string& path) = 0;

    // Asked before each file of a conversion or count: true ends the run
    // there, between two files, so no output is left half-written. A merge
    // writes one output and runs whole once begun.
    virtual bool stopRequested() { return false; }
};

} // namespace pagesmith
