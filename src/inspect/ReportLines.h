#pragma once

#include <string>

namespace pagesmith {

// Where a report's lines go; the caller decides (a window page, a test's
// recorder). The information report writes through it.
class ReportLines {
public:
    virtual ~ReportLines() = default;
    virtual void addLine(const std::string& text) = 0;
};

// A file or folder name as report lines, the run log and the progress line
// show it: each control character (below 0x20, and 0x7f) as '?', so that a
// name can never end a line or start one. The file itself keeps its name.
std::string shownName(const std::string& name);

// printf into a std::string.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace pagesmith
