#pragma once

#include <atomic>

namespace pagesmith::platform {

// The system's requests to end the process: SIGTERM, SIGINT and SIGHUP on
// Linux; on Windows the console's Ctrl+C, Ctrl+Break, close, log-off and
// shut-down events, under the numbers of the signals they stand for. The
// first is only noted in stopRequestFlag(); a second ends the process at once.
void noteStopRequests();

// Puts the system's default actions back.
void restoreStopRequestDefaults();

// The number of the first request received, 0 before any. A handler writes
// it, on any thread.
const std::atomic<int>* stopRequestFlag();

// How a user asks a running watch to end, for its first line: "SIGTERM or
// Ctrl+C" on Linux, "Ctrl+C or closing the console" on Windows.
const char* stopRequestWords();

} // namespace pagesmith::platform
