#pragma once

#include <string>

namespace pagesmith {

// Appends one entry (time stamp, text, separator unless shortLog) to the run
// log. Failures leave the log unwritten and are not reported.
void appendRunLog(const std::string& logPath, const std::string& text, int shortLog);

} // namespace pagesmith
