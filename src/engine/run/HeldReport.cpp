#include "engine/run/HeldReport.h"

namespace pagesmith {

void HeldReport::addLine(const std::string& text) {
    if (holding())
        m_held.push_back({Kind::Line, text, {}, 0});
    else
        m_report.addLine(text);
}

void HeldReport::showError(const std::string& caption, const std::string& text) {
    if (holding())
        m_held.push_back({Kind::Fault, text, caption, 0});
    else
        m_report.showError(caption, text);
}

void HeldReport::noteFailure() {
    if (holding())
        m_held.push_back({Kind::Failure, {}, {}, 0});
    else
        m_report.noteFailure();
}

void HeldReport::linesOfInput(std::size_t inputIndex) {
    if (holding())
        m_held.push_back({Kind::Input, {}, {}, inputIndex});
    else
        m_report.linesOfInput(inputIndex);
}

void HeldReport::stepStarted() {
    if (holding())
        m_held.push_back({Kind::Step, {}, {}, 0});
    else
        m_report.stepStarted();
}

// Held as well: it belongs to the input whose lines came last.
void HeldReport::pageWritten(int sourcePage) {
    if (holding())
        m_held.push_back({Kind::Written, {}, {}, std::size_t(sourcePage)});
    else
        m_report.pageWritten(sourcePage);
}

void HeldReport::holdPageLine(int pageIndex) {
    m_held.push_back({Kind::Page, {}, {}, std::size_t(pageIndex)});
}

void HeldReport::release(bool outputKept) {
    std::vector<Event> held;
    held.swap(m_held);
    for (const Event& event : held) {
        switch (event.kind) {
        case Kind::Line:
            m_report.addLine(event.text);
            break;
        case Kind::Fault:
            m_report.showError(event.caption, event.text);
            break;
        case Kind::Failure:
            m_report.noteFailure();
            break;
        case Kind::Input:
            m_report.linesOfInput(event.number);
            break;
        case Kind::Step:
            m_report.stepStarted();
            break;
        case Kind::Written:
            m_report.pageWritten(int(event.number));
            break;
        case Kind::Page:
            writeReportLine(m_report,
                            outputKept ? "  -- Page %d success\r\n" : "  -- Page %d failed\r\n",
                            int(event.number));
            break;
        }
    }
}

} // namespace pagesmith
