#pragma once

namespace pagesmith {

struct ProcessSettings;
class BatchJobRunner;
class MessageSink;

// Opens the main window as it was left (maximised at a first start) at the
// folder or files of settings.windowPaths, or else at the last folder, and
// runs the message loop until it closes; then stores the window's state and
// the log path. The loop's result, or 1 (with a message on standard error)
// when no window can be opened.
int runWindowMode(ProcessSettings& settings, MessageSink& messages);

// The same with the runner the window's jobs go to (tests follow its jobs).
// Closing the window does not wait for a job: the window goes at once, the
// running job ends after the file in hand and writes its run-log entry before
// this returns. Once settings.interruption is set (a stop signal), the window
// goes the same way, the running job stops within the file in hand, and the
// result is 128 plus the signal's number.
int runMainWindow(ProcessSettings& settings, MessageSink& messages, BatchJobRunner& jobs);

} // namespace pagesmith
