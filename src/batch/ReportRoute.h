#pragma once

#include "engine/ProgressReport.h"

#include <cstddef>
#include <string>

namespace pagesmith {

class MainWindowHooks;
class MessageSink;

// Where report lines go: negative, the run's message buffer (command line);
// 0 the window's "Tiff Info" page; 1 its "Results" page.
using ProgressTarget = int;

constexpr ProgressTarget kMessageBufferTarget = -1;
constexpr ProgressTarget kInfoPage = 0;
constexpr ProgressTarget kResultsPage = 1;

// The progress target of one run: routes the lines of the batch, the engine
// and the information report by target, marks the file-list rows and shows
// the engine's fault messages. Without a window, lines for a page and marks
// are dropped.
class ReportRoute : public ProgressReport {
public:
    ReportRoute(ProgressTarget target, MainWindowHooks* window, MessageSink& messages)
        : m_target(target), m_window(window), m_messages(messages) {}

    void addLine(const std::string& text) override;
    void markFile(std::size_t fileIndex, const std::string& status) override;
    void showError(const std::string& caption, const std::string& text) override;

    ProgressTarget target() const { return m_target; }

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
};

} // namespace pagesmith
