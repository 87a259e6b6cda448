#pragma once

#include "engine/ConversionOptions.h"
#include "engine/ConvertResult.h"
#include "engine/ProgressReport.h"

#include <string>
#include <vector>

namespace pagesmith {

class CoreBudget;

// The path convertFiles writes for this base and these options:
// outputBase + the mode's suffix (unless keepName) + ".tif", or
// outputBase + ".pdf" for a PDF document.
std::string outputPathOf(const std::string& outputBase, const ConversionOptions& options);

// Copies every page of the first `count` inputs (in order) into one output
// file at outputPathOf(outputBase, options): a TIFF file, or a PDF document.
// An input path may carry a page list: "a.tif,2,0". Its lines, and the
// message of a fault, go to the report. The output is written whole or not
// at all: it takes its name only once the run has put a page into it (an
// append goes in place; a document is always written anew).
ConvertResult convertFiles(int count, const std::vector<std::string>& inputs,
                           const std::string& outputBase, const ConversionOptions& options,
                           ProgressReport& report);

// The same, sharing the cores of a batch run: a page is decoded on threads of
// its own when the budget has a core to spare. The calling thread holds one.
ConvertResult convertFiles(int count, const std::vector<std::string>& inputs,
                           const std::string& outputBase, const ConversionOptions& options,
                           ProgressReport& report, CoreBudget& cores);

} // namespace pagesmith
