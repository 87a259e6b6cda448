#pragma once

#include <atomic>

namespace pagesmith {

// The signals that ask the process to end: SIGTERM (a desktop log-out, a
// service manager, kill), SIGINT (Ctrl+C) and SIGHUP (a closed terminal).
// The first is taken as a request: it is only noted, and the run in hand
// stops at its next write or page, removes what it half-wrote, writes its
// run-log entry and returns, so the process ends through its ordinary exit
// (the scratch folder goes with it). A second ends the process at once.
// On Windows the console's Ctrl+C, Ctrl+Break, close, log-off and shut-down
// events stand for them.
// One instance, at the entry; runs watch flag(), which holds the number of
// the signal received, 0 before any.
class StopSignals {
public:
    StopSignals();  // installs the handlers
    ~StopSignals(); // puts the default actions back
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    static const std::atomic<int>* flag();
};

// The exit status of a process ended by a stop request: 128 plus the number
// of the signal (130 for SIGINT, 143 for SIGTERM), or `status` when no signal
// came.
int exitStatusAfter(const std::atomic<int>* stopFlag, int status);

} // namespace pagesmith
