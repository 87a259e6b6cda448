#pragma once

#include "batch/BatchResult.h"

namespace pagesmith {

struct BatchRequest;
class BatchObserver;

// Most files one merge takes; further selected files are skipped.
constexpr int kMaxMergeFiles = 1000;

// Runs the request's operation (or its merge, when `merge` is set) over the
// selected files, in list order. The observer follows the run as it goes and
// may stop it; the result holds the report and every selected file's outcome.
BatchResult runBatch(const BatchRequest& request, BatchObserver& observer);

} // namespace pagesmith
