#include "app/TerminalProgress.h"

#include "app/ProgressLine.h"
#include "base/Paths.h"

namespace pagesmith {

namespace {

constexpr std::size_t kDefaultWidth = 80;

} // namespace

TerminalProgress::TerminalProgress(platform::StandardStream stream) : m_stream(stream) {}

TerminalProgress::~TerminalProgress() {
    erase();
}

bool TerminalProgress::isTerminal(platform::StandardStream stream) {
    return platform::isConsole(stream);
}

void TerminalProgress::fileStarted(int done, int total, const std::string& path) {
    if (total < 2)
        return;
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(
        std::chrono::steady_clock::now() - m_start);
    show(progressLine({done, total, splitPath(path).name, elapsed}, width()));
}

void TerminalProgress::showWatch(const std::string& folder, int converted, int failed,
                                 bool folderPresent) {
    show(watchLine(folder, converted, failed, folderPresent, width()));
}

void TerminalProgress::show(const std::string& line) {
    // Plain carriage return and blanks rather than terminal escapes: every
    // terminal understands them.
    const std::size_t columns = columnsOf(line);
    const std::size_t blanks = m_shownColumns > columns ? m_shownColumns - columns : 0;
    write("\r" + line + std::string(blanks, ' '));
    m_shownColumns = columns;
}

void TerminalProgress::erase() {
    if (m_shownColumns == 0)
        return;
    std::string blank(m_shownColumns + 2, ' ');
    blank.front() = blank.back() = '\r';
    write(blank);
    m_shownColumns = 0;
}

std::size_t TerminalProgress::width() const {
    const std::size_t columns = platform::consoleColumns(m_stream);
    return columns > 0 ? columns : kDefaultWidth;
}

void TerminalProgress::write(const std::string& text) const {
    // A progress line that cannot be written is not worth a failure.
    platform::writeToStream(m_stream, text);
}

} // namespace pagesmith
