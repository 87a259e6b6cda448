#include "batch/RecordedReport.h"

namespace pagesmith {

void RecordedReport::addLine(const std::string& text) {
    m_entries.push_back({Kind::Line, 0, text, {}});
}

void RecordedReport::markFile(std::size_t fileIndex, const std::string& status) {
    m_entries.push_back({Kind::Mark, fileIndex, status, {}});
}

void RecordedReport::showError(const std::string& caption, const std::string& text) {
    m_entries.push_back({Kind::Error, 0, caption, text});
}

void RecordedReport::noteFailure() {
    m_entries.push_back({Kind::Failure, 0, {}, {}});
}

void RecordedReport::replayInto(ProgressReport& report) const {
    for (const Entry& entry : m_entries) {
        switch (entry.kind) {
        case Kind::Line:
            report.addLine(entry.first);
            break;
        case Kind::Mark:
            report.markFile(entry.fileIndex, entry.first);
            break;
        case Kind::Error:
            report.showError(entry.first, entry.second);
            break;
        case Kind::Failure:
            report.noteFailure();
            break;
        }
    }
}

} // namespace pagesmith
