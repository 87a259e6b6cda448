#include "batch/ReportLine.h"

#include "app/MainWindowHooks.h"
#include "app/ProcessState.h"

#include <cstdarg>
#include <cstdio>

namespace pagesmith {

namespace {

std::string formatArgs(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::string text(static_cast<std::size_t>(needed), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

} // namespace

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatArgs(format, args);
    va_end(args);
    return text;
}

void appendReportText(ProgressTarget target, const std::string& text) {
    ProcessState& state = processState();
    if (target < 0) {
        state.messageBuffer += text;
        return;
    }
    if ((target == kInfoPage || target == kResultsPage) && state.mainWindow)
        state.mainWindow->appendToPage(target, text);
}

void writeReportLine(ProgressTarget target, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string text = formatArgs(format, args);
    va_end(args);
    appendReportText(target, text);
}

std::string paneText(int page) {
    MainWindowHooks* window = processState().mainWindow;
    if (!window || (page != kInfoPage && page != kResultsPage))
        return {};
    return window->pageText(page);
}

void setFileStatus(std::size_t fileIndex, const char* status) {
    if (MainWindowHooks* window = processState().mainWindow)
        window->setFileStatus(fileIndex, status);
}

} // namespace pagesmith
