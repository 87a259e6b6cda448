#pragma once

#include "batch/ReportLine.h"

namespace pagesmith {

struct BatchRequest;

// Most files one merge takes; further selected files are skipped.
constexpr int kMaxMergeFiles = 1000;

// Runs the request's operation (or its merge) over the selected files and
// appends the report to resultText. Returns the files visited or merged.
int runBatch(BatchRequest& request, int merge, ProgressTarget target);

} // namespace pagesmith
