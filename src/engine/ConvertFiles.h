#pragma once

#include "engine/ConversionOptions.h"
#include "engine/ProgressReport.h"

#include <string>
#include <vector>

namespace pagesmith {

// Results of convertFiles.
constexpr int kConvertDone = 0;            // the run ended (inputs may have been skipped)
constexpr int kConvertOutputUnusable = -2; // the output cannot be opened, or is one of the inputs
constexpr int kConvertScratchUnusable =
    -3; // the scratch file of the colour route cannot be created

// Copies every page of every input (in order) into one output file named
// outputBase + mode suffix (unless keepName) + ".tif". An input path may carry
// a page list: "a.tif,2,0". Its lines, and the message of a fault, go to the
// report.
int convertFiles(int count, const std::vector<std::string>& inputs, const std::string& outputBase,
                 const ConversionOptions& options, ProgressReport& report);

} // namespace pagesmith
