#pragma once

#include "engine/ProgressReport.h"

#include <cstddef>
#include <string>

namespace pagesmith {

class BatchProgress;
class MainWindowHooks;
class MessageSink;

// Where report lines go: negative, the run's message buffer (command line);
// 0 the window's "Tiff Info" page; 1 its "Results" page.
using ProgressTarget = int;

constexpr ProgressTarget kMessageBufferTarget = -1;
constexpr ProgressTarget kInfoPage = 0;
constexpr ProgressTarget kResultsPage = 1;

// The progress target of one run: routes the lines of the batch, the engine
// and the information report by target, marks the file-list rows, shows the
// engine's fault messages and counts what failed. Without a window, lines for a page and marks
// are dropped.
class ReportRoute : public ProgressReport {
public:
    ReportRoute(ProgressTarget target, MainWindowHooks* window, MessageSink& messages)
        : m_target(target), m_window(window), m_messages(messages) {}

    void addLine(const std::string& text) override;
    void markFile(std::size_t fileIndex, const std::string& status) override;
    void showError(const std::string& caption, const std::string& text) override;
    void noteFailure() override { ++m_failures; }

    ProgressTarget target() const { return m_target; }

    // Pages, inputs and outputs that did not go through since the route was made.
    int failures() const { return m_failures; }

    // Who follows the run file by file; none by default.
    BatchProgress* progress() const { return m_progress; }
    void setProgress(BatchProgress* progress) { m_progress = progress; }

    // Lines for a negative target, collected for the command-line report.
    std::string& messageBuffer() { return m_messageBuffer; }

    // Everything appended to a window page since it was last cleared; empty
    // without a window.
    std::string paneText(int page) const;

private:
    ProgressTarget m_target;
    MainWindowHooks* m_window;
    MessageSink& m_messages;
    std::string m_messageBuffer;
    int m_failures = 0;
    BatchProgress* m_progress = nullptr;
};

} // namespace pagesmith
