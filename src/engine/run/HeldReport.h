#pragma once

#include "engine/PageDamage.h"
#include "engine/ProgressReport.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pagesmith {

// A conversion run's report as the run writes it. A page in an output that
// does not have its name yet is not a success until the output gets it, and
// an output that reads its pages' data only as it is written whole learns
// only then which rows could not be read. So from a page's line on,
// everything the run reports is held, in order, and written when the output
// is committed or dropped. Progress (inputStarted) is passed on at once.
class HeldReport : public ProgressReport {
public:
    // `shortLog`: a page that went through gets no line.
    HeldReport(ProgressReport& report, bool shortLog) : m_report(report), m_shortLog(shortLog) {}

    void addLine(const ReportLine& line) override;
    void showError(const std::string& caption, const std::string& text) override;
    void noteFailure() override;
    void inputStarted(std::size_t inputIndex) override { m_report.inputStarted(inputIndex); }
    void linesOfInput(std::size_t inputIndex) override;
    void stepStarted() override;

    // Page `pageIndex` of the input in hand, its directory `sourcePage`, went
    // into the output: its line, held, with what follows it.
    void holdPage(int pageIndex, int sourcePage, std::uint32_t length,
                  std::shared_ptr<const PageDamage> damage);

    // Writes out what is held, in order. A held page says "success" when the
    // output was kept and the page read whole, "damaged" when rows of it were
    // left blank, "failed" when the output was not kept.
    void release(bool outputKept);

private:
    enum class Kind { Line, Fault, Failure, Input, Step, Page };
    struct Event {
        Kind kind = Kind::Line;
        ReportLine line{};      // Line; Fault: its text
        std::string caption{};  // Fault
        std::size_t number = 0; // Input: its index; Page: its index
        int sourcePage = 0;
        std::uint32_t length = 0;
        std::shared_ptr<const PageDamage> damage{};
    };

    bool holding() const { return !m_held.empty(); }
    void releasePage(const Event& page, bool outputKept);

    ProgressReport& m_report;
    const bool m_shortLog;
    std::vector<Event> m_held;
};

} // namespace pagesmith
