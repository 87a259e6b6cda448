#pragma once

#include <cstddef>
#include <string>

namespace pagesmith {

// Where report lines go: negative, the process's message buffer (command line);
// 0 the window's "Tiff Info" page; 1 its "Results" page.
using ProgressTarget = int;

constexpr ProgressTarget kMessageBufferTarget = -1;
constexpr ProgressTarget kInfoPage = 0;
constexpr ProgressTarget kResultsPage = 1;

// Formats a printf-style line and routes it by target. Lines for a window page
// are dropped when there is no main window.
void writeReportLine(ProgressTarget target, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Appends an already formatted text, routed as writeReportLine routes.
void appendReportText(ProgressTarget target, const std::string& text);

// Everything appended to a window page since it was last cleared; empty
// without a main window.
std::string paneText(int page);

// Marks the file-list row of a file ("Converted", "Merged"); nothing happens
// without a main window.
void setFileStatus(std::size_t fileIndex, const char* status);

// printf into a std::string.
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace pagesmith
