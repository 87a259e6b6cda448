#pragma once

#include "engine/ConversionOptions.h"
#include "engine/ProgressReport.h"

#include <string>
#include <vector>

namespace pagesmith {

class CoreBudget;

// Puts every page of the first `count` inputs (in order) into one PDF
// document at `outputPath`, with the report lines of a conversion: a
// "Convert:" or "Merge:" line for each input that opens, then a line for
// each page. A page that cannot be read fails with its line and the
// document keeps the others. The pages' data is read and written when the
// whole document is, so their lines come once it has its name, each input
// announced (inputStarted) before its own. The document is written whole or
// not at all, always anew (`append` is for TIFF outputs). Returns a result
// of convertFiles. Pages are compressed with a core of `cores` to help where
// one is free.
int convertToPdf(int count, const std::vector<std::string>& inputs, const std::string& outputPath,
                 const ConversionOptions& options, ProgressReport& report,
                 CoreBudget* cores = nullptr);

} // namespace pagesmith
