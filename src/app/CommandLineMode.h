#pragma once

#include <string>

namespace pagesmith {

struct BatchRequest;
struct ProcessSettings;
class MessageSink;

// Runs the parsed request as one batch: "Please Wait...", the command header,
// the batch, the run log and the results box. The exit code (always 0).
int runCommandLineMode(BatchRequest& request, const std::string& commandLine,
                       const ProcessSettings& settings, MessageSink& messages);

} // namespace pagesmith
