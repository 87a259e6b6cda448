#pragma once

#include "engine/ConversionOptions.h"
#include "engine/ProgressReport.h"

#include <string>
#include <vector>

namespace pagesmith {

class CoreBudget;

// Results of convertFiles.
constexpr int kConvertDone = 0; // the output holds at least one page (inputs may have been skipped)
constexpr int kConvertNoPageWritten = -1;  // no page went through: no output file was left
constexpr int kConvertOutputUnusable = -2; // the output cannot be created, or is one of the inputs
constexpr int kConvertScratchUnusable =
    -3;                             // the scratch file of the colour route cannot be created
constexpr int kConvertStopped = -4; // told to stop (options.interruption): no output was left

// Whether a result of convertFiles leaves an output written.
constexpr bool outputWasWritten(int convertResult) {
    return convertResult == kConvertDone || convertResult == kConvertScratchUnusable;
}

// Copies every page of every input (in order) into one output file named
// outputBase + mode suffix (unless keepName) + ".tif", or, for the PDF mode,
// into one document outputBase + ".pdf" (convertToPdf). An input path may
// carry a page list: "a.tif,2,0". Its lines, and the message of a fault, go
// to the report. The output is written whole or not at all: it takes its
// name only once the run has written a page into it (an append goes in
// place; a document is always written anew).
// The path convertFiles writes for this base and these options.
std::string outputPathOf(const std::string& outputBase, const ConversionOptions& options);

int convertFiles(int count, const std::vector<std::string>& inputs, const std::string& outputBase,
                 const ConversionOptions& options, ProgressReport& report);

// The same, sharing the cores of a batch run: a page is decoded on threads of
// its own when the budget has a core to spare. The calling thread holds one.
int convertFiles(int count, const std::vector<std::string>& inputs, const std::string& outputBase,
                 const ConversionOptions& options, ProgressReport& report, CoreBudget& cores);

} // namespace pagesmith
