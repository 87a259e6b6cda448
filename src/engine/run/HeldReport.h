#pragma once

#include "engine/ProgressReport.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pagesmith {

// A conversion run's report as the run writes it. A page written into an
// output that does not have its name yet is not a success until the output
// gets it: from such a page's line on, everything the run reports is held,
// in order, and written when the output is committed or dropped. Progress
// (inputStarted) is passed on at once all the same.
class HeldReport : public ProgressReport {
public:
    explicit HeldReport(ProgressReport& report) : m_report(report) {}

    void addLine(const std::string& text) override;
    void showError(const std::string& caption, const std::string& text) override;
    void noteFailure() override;
    void inputStarted(std::size_t inputIndex) override { m_report.inputStarted(inputIndex); }
    void linesOfInput(std::size_t inputIndex) override;
    void stepStarted() override;
    void pageWritten(int sourcePage) override;

    // The success line of a page written into an output not yet committed:
    // held, with what follows it.
    void holdPageLine(int pageIndex);

    // Writes out what is held, in order: each held page line says "success"
    // when the output was kept, "failed" when it was not.
    void release(bool outputKept);

private:
    enum class Kind { Line, Fault, Failure, Input, Step, Page, Written };
    struct Event {
        Kind kind;
        std::string text;
        std::string caption;
        std::size_t number = 0;
    };

    bool holding() const { return !m_held.empty(); }

    ProgressReport& m_report;
    std::vector<Event> m_held;
};

} // namespace pagesmith
