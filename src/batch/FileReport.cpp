#include "batch/FileReport.h"

#include "batch/BatchObserver.h"

namespace pagesmith {

FileReport::FileReport(std::size_t inputs, BatchObserver* live)
    : m_live(live), m_reasons(inputs), m_inputFailed(inputs, false), m_pagesWritten(inputs) {}

void FileReport::addLine(const std::string& text) {
    m_lines.push_back(text);
    m_stepLines += text;
    if (m_live)
        m_live->reportLine(text);
}

void FileReport::showError(const std::string& caption, const std::string& text) {
    m_faults.push_back({m_lines.size(), caption, text});
    if (m_live)
        m_live->faultShown(caption, text);
}

void FileReport::noteFailure() {
    ++m_failures;
    const std::string reason = readableReason(m_stepLines);
    m_lastReason = reason;
    if (m_input < m_inputFailed.size()) {
        m_inputFailed[m_input] = true;
        if (m_reasons[m_input].empty())
            m_reasons[m_input] = reason;
    } else {
        m_runFailed = true;
        if (m_runReason.empty())
            m_runReason = reason;
    }
}

void FileReport::inputStarted(std::size_t inputIndex) {
    if (m_follow)
        m_follow(inputIndex);
}

void FileReport::linesOfInput(std::size_t inputIndex) {
    m_input = inputIndex;
    m_stepLines.clear();
}

void FileReport::stepStarted() {
    m_stepLines.clear();
}

void FileReport::pageWritten(int sourcePage) {
    if (m_input < m_pagesWritten.size())
        m_pagesWritten[m_input].push_back(sourcePage);
}

void FileReport::noteRefusal(const std::string& line) {
    m_stepLines = line;
    noteFailure();
    m_stepLines.clear();
}

std::string FileReport::lines() const {
    std::string all;
    for (const std::string& line : m_lines)
        all += line;
    return all;
}

bool FileReport::inputFailed(std::size_t inputIndex) const {
    return m_runFailed || (inputIndex < m_inputFailed.size() && m_inputFailed[inputIndex]);
}

std::string FileReport::reasonOf(std::size_t inputIndex) const {
    if (inputIndex < m_reasons.size() && !m_reasons[inputIndex].empty())
        return m_reasons[inputIndex];
    return m_runReason;
}

std::vector<int> FileReport::pagesWritten(std::size_t inputIndex) const {
    return inputIndex < m_pagesWritten.size() ? m_pagesWritten[inputIndex] : std::vector<int>();
}

void FileReport::replayInto(BatchObserver& observer) const {
    if (m_live)
        return;
    std::size_t fault = 0;
    for (std::size_t line = 0; line <= m_lines.size(); ++line) {
        for (; fault < m_faults.size() && m_faults[fault].atLine == line; ++fault)
            observer.faultShown(m_faults[fault].caption, m_faults[fault].text);
        if (line < m_lines.size())
            observer.reportLine(m_lines[line]);
    }
}

std::string readableReason(const std::string& lines) {
    std::string reason;
    std::size_t start = 0;
    while (start < lines.size()) {
        std::size_t end = lines.find('\n', start);
        if (end == std::string::npos)
            end = lines.size();
        std::string line = lines.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
            line.pop_back();
        const std::size_t text = line.find_first_not_of(' ');
        line = text == std::string::npos ? std::string() : line.substr(text);
        if (line.starts_with("-- "))
            line.erase(0, 3);
        if (line.empty())
            continue;
        if (!reason.empty())
            reason += '\n';
        reason += line;
    }
    return reason;
}

} // namespace pagesmith
