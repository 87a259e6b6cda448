#pragma once

#include "batch/BatchObserver.h"
#include "platform/Console.h"

#include <chrono>
#include <cstddef>

namespace pagesmith {

// The command line's progress display: one line on a terminal, redrawn in
// place as each file begins and erased when the run ends, so that what is
// printed afterwards starts on a clean line. Runs of a single file show
// nothing.
class TerminalProgress : public BatchObserver {
public:
    // Draws on the terminal (or Windows console) of `stream`.
    explicit TerminalProgress(platform::StandardStream stream);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // True when `stream` is a terminal: elsewhere (a pipe, a file, a log) a
    // redrawn line would only leave clutter.
    static bool isTerminal(platform::StandardStream stream);

    void fileStarted(int done, int total, const std::string& path) override;

    // Shows where a watch stands (watchLine).
    void showWatch(const std::string& folder, int converted, int failed, bool folderPresent);

    // Blanks the line; called by the destructor too.
    void erase();

private:
    std::size_t width() const;
    void show(const std::string& line);
    void write(const std::string& text) const;

    platform::StandardStream m_stream;
    std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
    std::size_t m_shownColumns = 0; // what the line on screen takes now
};

} // namespace pagesmith
