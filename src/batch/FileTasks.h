#pragma once

#include "base/ReportMessages.h"

#include <cstddef>
#include <optional>
#include <string>

namespace pagesmith {

struct BatchRequest;
class CoreBudget;
class FileReport;

// One selected file of a counting or converting run, with everything about
// it the batch thread decides before the file is begun: where its output
// goes and which earlier file of the run wrote there already. The rest is
// the file's own business and may run on any thread.
struct FileTask {
    std::size_t index = 0;                   // in the request's lists
    std::string input;                       // the path read
    std::string outputBase;                  // converting operations only
    std::string output;                      // the file the engine writes from outputBase
    std::optional<std::string> earlierInput; // wrote `output` earlier in this run

    // Whether this task and an earlier one touch a common file in a way that
    // makes their order matter: one writes what the other reads or writes.
    bool dependsOn(const FileTask& earlier) const;
};

// What one file did besides what its conversion said, which goes to the
// report it is run with.
struct TaskOutcome {
    int pages = -1;      // negative: not a TIFF file
    ReportLine fileLine; // the batch's own line for it: a refusal or its page count
    bool wroteOutput = false;
    bool stopped = false; // its conversion was told to stop (a signal) and wrote nothing
};

// The task of the file at `index`, without earlierInput, which only the
// run so far can tell.
FileTask startFileTask(const BatchRequest& request, std::size_t index);

// Counts the file's pages and, for a converting operation, converts it, with
// `scratchPath` as the scratch file of the colour route: files converted at
// the same time each need their own.
TaskOutcome runFileTask(const BatchRequest& request, const FileTask& task,
                        const std::string& scratchPath, FileReport& report, CoreBudget& cores);

// The report's line for an input or output path longer than the platform takes.
ReportLine pathTooLongLine(const std::string& path);

// The scratch file of pool thread `thread`: the request's own for the first.
std::string scratchPathFor(const std::string& scratchPath, int thread);

} // namespace pagesmith
