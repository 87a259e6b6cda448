#pragma once

#include <string>
#include <vector>

namespace pagesmith {

struct BatchRequest;
class MessageSink;

// Results of parseCommandLine; only kRunBatch runs the command-line batch.
constexpr int kRunBatch = 0;
constexpr int kNoCommandLine = -1;
constexpr int kEmptyCommandLine = -2;
constexpr int kNoSaveFolder = 126;

// Turns the program's arguments (its own path left out) into the (reset)
// request, its short-log flag included, and the log path for this run
// ("/log=", kept unless given and usable). Each argument is one option, read
// whole. No arguments, or one empty argument, ask for the window. The "ERROR
// Save Folder" box goes to `messages`.
int parseCommandLine(BatchRequest& request, const std::vector<std::string>& arguments,
                     std::string& logPath, MessageSink& messages);

} // namespace pagesmith
