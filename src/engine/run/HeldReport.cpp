#include "engine/run/HeldReport.h"

namespace pagesmith {

void HeldReport::addLine(const ReportLine& line) {
    if (holding())
        m_held.push_back({.kind = Kind::Line, .line = line});
    else
        m_report.addLine(line);
}

void HeldReport::showError(const std::string& caption, const std::string& text) {
    if (holding())
        m_held.push_back({.kind = Kind::Fault, .line = {text, {}}, .caption = caption});
    else
        m_report.showError(caption, text);
}

void HeldReport::noteFailure() {
    if (holding())
        m_held.push_back({.kind = Kind::Failure});
    else
        m_report.noteFailure();
}

void HeldReport::linesOfInput(std::size_t inputIndex) {
    if (holding())
        m_held.push_back({.kind = Kind::Input, .number = inputIndex});
    else
        m_report.linesOfInput(inputIndex);
}

void HeldReport::stepStarted() {
    if (holding())
        m_held.push_back({.kind = Kind::Step});
    else
        m_report.stepStarted();
}

void HeldReport::holdPage(int pageIndex, int sourcePage, std::uint32_t length,
                          std::shared_ptr<const PageDamage> damage) {
    m_held.push_back({.kind = Kind::Page,
                      .number = std::size_t(pageIndex),
                      .sourcePage = sourcePage,
                      .length = length,
                      .damage = std::move(damage)});
}

void HeldReport::release(bool outputKept) {
    std::vector<Event> held;
    held.swap(m_held);
    for (const Event& event : held) {
        switch (event.kind) {
        case Kind::Line:
            m_report.addLine(event.line);
            break;
        case Kind::Fault:
            m_report.showError(event.caption, event.line.text);
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
        case Kind::Page:
            releasePage(event, outputKept);
            break;
        }
    }
}

void HeldReport::releasePage(const Event& page, bool outputKept) {
    const int pageIndex = int(page.number);
    if (outputKept)
        m_report.pageWritten(page.sourcePage);
    const std::uint64_t blank = page.damage ? page.damage->blankRows(page.length) : 0;
    if (outputKept && blank > 0) {
        // Kept as far as it could be read; the rest is blank, and the file
        // that holds it has failed.
        writeMessage<ReportMessage::PageDamaged>(
            m_report, pageIndex, static_cast<unsigned long long>(blank), unsigned(page.length));
        m_report.noteFailure();
        return;
    }
    if (m_shortLog)
        return;
    if (outputKept)
        writeMessage<ReportMessage::PageSuccess>(m_report, pageIndex);
    else
        writeMessage<ReportMessage::PageFailed>(m_report, pageIndex);
}

} // namespace pagesmith
