#pragma once

namespace pagesmith {

struct BatchRequest;
class ReportRoute;

// Most files one merge takes; further selected files are skipped.
constexpr int kMaxMergeFiles = 1000;

// Runs the request's operation (or its merge) over the selected files and
// appends the report to resultText. Lines, list marks and fault messages go
// through the route, which says where. Returns the files visited or merged.
int runBatch(BatchRequest& request, int merge, ReportRoute& route);

} // namespace pagesmith
