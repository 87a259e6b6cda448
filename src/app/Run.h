#pragma once

#include <functional>

namespace pagesmith {

struct ProcessSettings;
class MessageSink;

// Window mode as the window code provides it: runs until the window closes
// and returns the exit code. It gets the process's settings (it may change
// the log path) and where message boxes go.
using WindowMode = std::function<int(ProcessSettings& settings, MessageSink& messages)>;

// The whole program: start-up, then the command-line batch or the window.
// Message boxes go to `screenMessages` at an interactive display, to the
// standard streams otherwise. Returns the exit code.
int run(int argc, const char* const* argv, const WindowMode& windowMode,
        MessageSink& screenMessages);

} // namespace pagesmith
