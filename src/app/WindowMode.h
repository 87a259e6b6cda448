#pragma once

namespace pagesmith {

// Opens the main window maximised and runs the message loop until it closes;
// then stores the log path. The loop's result, or 1 (with a message on
// standard error) when no window can be opened.
int runWindowMode();

} // namespace pagesmith
