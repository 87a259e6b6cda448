#pragma once

#include "base/MemoryLimits.h" // kMaxMergeFiles, the most files a merge takes
#include "batch/BatchResult.h"

namespace pagesmith {

struct BatchRequest;
class BatchObserver;

// Runs the request's operation (or its merge, when `merge` is set) over the
// selected files, in list order. The observer follows the run as it goes and
// may stop it; the result holds the report and every selected file's outcome.
BatchResult runBatch(const BatchRequest& request, BatchObserver& observer);

} // namespace pagesmith
