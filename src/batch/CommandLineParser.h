#pragma once

#include <optional>
#include <string>

namespace pagesmith {

struct BatchRequest;
class MessageSink;

// Results of parseCommandLine; only kRunBatch runs the command-line batch.
constexpr int kRunBatch = 0;
constexpr int kNoCommandLine = -1;
constexpr int kEmptyCommandLine = -2;
constexpr int kNoSaveFolder = 126;

// Turns the command-line text into the (reset) request, its short-log flag
// included, and the log path for this run ("/log=", kept unless given and
// usable). No text at all is std::nullopt. The "ERROR Save Folder" box goes to
// `messages`.
int parseCommandLine(BatchRequest& request, const std::optional<std::string>& commandLine,
                     std::string& logPath, MessageSink& messages);

} // namespace pagesmith
