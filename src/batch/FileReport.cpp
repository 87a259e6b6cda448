#include "batch/FileReport.h"

#include "batch/BatchObserver.h"

namespace pagesmith {

FileReport::FileReport(std::size_t inputs, BatchObserver* live)
    : m_live(live), m_reasons(inputs), m_inputFailed(inputs, false), m_pagesWritten(inputs) {}

void FileReport::addLine(const ReportLine& line) {
    m_lines.push_back(line.text);
    m_stepReasons.push_back(line.reason);
    if (m_live)
        m_live->reportLine(line.text);
}

void FileReport::showError(const std::string& caption, const std::string& text) {
    m_faults.push_back({m_lines.size(), caption, text});
    if (m_live)
        m_live->faultShown(caption, text);
}

void FileReport::noteFailure() {
    ++m_failures;
    std::string reason;
    for (const std::string& said : m_stepReasons) {
        if (said.empty())
            continue;
        if (!reason.empty())
            reason += '\n';
        reason += said;
    }
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
    m_stepReasons.clear();
}

void FileReport::stepStarted() {
    m_stepReasons.clear();
}

void FileReport::pageWritten(int sourcePage) {
    if (m_input < m_pagesWritten.size())
        m_pagesWritten[m_input].push_back(sourcePage);
}

void FileReport::noteRefusal(const ReportLine& line) {
    m_stepReasons = {line.reason};
    noteFailure();
    m_stepReasons.clear();
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

} // namespace pagesmith
