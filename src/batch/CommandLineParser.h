#pragma once

#include <optional>
#include <string>

namespace pagesmith {

struct BatchRequest;

// Results of parseCommandLine; only kRunBatch runs the command-line batch.
constexpr int kRunBatch = 0;
constexpr int kNoCommandLine = -1;
constexpr int kEmptyCommandLine = -2;
constexpr int kNoSaveFolder = 126;

// Turns the command-line text into the (reset) request, the process's short-log
// flag and log path. No text at all is std::nullopt.
int parseCommandLine(BatchRequest& request, const std::optional<std::string>& commandLine);

} // namespace pagesmith
