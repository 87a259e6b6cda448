#pragma once

namespace pagesmith {

struct ProcessSettings;
class MessageSink;

// Opens the main window maximised and runs the message loop until it closes;
// then stores the log path. The loop's result, or 1 (with a message on
// standard error) when no window can be opened.
int runWindowMode(ProcessSettings& settings, MessageSink& messages);

} // namespace pagesmith
