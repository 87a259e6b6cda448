#pragma once

#include <string>

namespace pagesmith {

struct BatchRequest;
struct ProcessSettings;
class MessageSink;

// Exit status of a batch that ran to its end but in which one or more inputs,
// outputs or pages did not go through; the report says which. A batch where
// everything went through exits with 0.
constexpr int kExitSomethingFailed = 3;

// Runs the parsed request as one batch: "Please Wait...", the command header,
// the batch (with a progress line when standard error is a terminal), the run
// log and the results box. Returns the exit status: 0, or kExitSomethingFailed,
// or 128 plus the signal that stopped the batch.
int runCommandLineMode(const BatchRequest& request, const std::string& commandLine,
                       const ProcessSettings& settings, MessageSink& messages);

} // namespace pagesmith
