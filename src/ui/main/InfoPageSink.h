#pragma once

#include "inspect/ReportLines.h"

#include <string>

namespace pagesmith {

// The page operations of the information and results pane that the file list
// and the jobs use: page 0 is "Tiff Info", page 1 "Results".
class InfoPageSink {
public:
    static constexpr int kInfoPage = 0;
    static constexpr int kResultsPage = 1;

    virtual ~InfoPageSink() = default;

    virtual void showPage(int page) = 0;
    virtual void clearPage(int page) = 0;
    virtual void appendToPage(int page, const std::string& text) = 0;
};

// One page as a report writes to it: each line is added at its end.
class PageLines : public ReportLines {
public:
    PageLines(InfoPageSink& pane, int page) : m_pane(pane), m_page(page) {}
    void addLine(const std::string& text) override { m_pane.appendToPage(m_page, text); }

private:
    InfoPageSink& m_pane;
    const int m_page;
};

} // namespace pagesmith
