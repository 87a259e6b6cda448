#include "batch/ReportRoute.h"

#include "batch/MainWindowHooks.h"
#include "batch/MessageSink.h"

namespace pagesmith {

namespace {

bool isWindowPage(int page) {
    return page == kInfoPage || page == kResultsPage;
}

} // namespace

void ReportRoute::addLine(const std::string& text) {
    if (m_target < 0)
        m_messageBuffer += text;
    else if (m_window && isWindowPage(m_target))
        m_window->appendToPage(m_target, text);
}

void ReportRoute::markFile(std::size_t fileIndex, const std::string& status) {
    if (m_window)
        m_window->setFileStatus(fileIndex, status);
}

void ReportRoute::showError(const std::string& caption, const std::string& text) {
    m_messages.show(caption, text, MessageKind::Error);
}

std::string ReportRoute::paneText(int page) const {
    if (!m_window || !isWindowPage(page))
        return {};
    return m_window->pageText(page);
}

} // namespace pagesmith
