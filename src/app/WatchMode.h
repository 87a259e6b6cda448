#pragma once

#include <string>

namespace pagesmith {

struct BatchRequest;
struct ProcessSettings;

// Exit status of a "/watch" command line that cannot run as a watch.
constexpr int kExitWatchRefused = 2;

// Runs "/watch": refuses what cannot be watched (one line on standard error,
// kExitWatchRefused), else converts what is and what arrives in the folder
// until a stop signal, printing each report and appending it to the run log,
// with "watching FOLDER: N converted, M failed" on a terminal. Returns 0, or
// kExitSomethingFailed when a file failed during the run.
int runWatchMode(const BatchRequest& request, const std::string& commandLine,
                 const ProcessSettings& settings);

} // namespace pagesmith
