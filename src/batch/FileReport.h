#pragma once

#include "engine/ProgressReport.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace pagesmith {

class BatchObserver;

// What one conversion (one file, or a whole merge) tells its report, kept for
// the batch that runs it: its lines in order, its fault boxes, and which of
// its inputs failed with which lines. A conversion on the batch's own thread
// passes lines and faults on to the observer as they come (live); one on a
// pool thread keeps them until the batch thread replays them in list order.
class FileReport : public ProgressReport {
public:
    // `inputs`: how many inputs the conversion reads (a merge: several).
    explicit FileReport(std::size_t inputs = 1, BatchObserver* live = nullptr);

    void addLine(const ReportLine& line) override;
    void showError(const std::string& caption, const std::string& text) override;
    void noteFailure() override;
    void inputStarted(std::size_t inputIndex) override;
    void linesOfInput(std::size_t inputIndex) override;
    void stepStarted() override;
    void pageWritten(int sourcePage) override;

    // Called as the conversion begins each input, on the converting thread.
    void onInputStarted(std::function<void(std::size_t)> follow) { m_follow = std::move(follow); }

    // A failure of the batch's own, before the conversion: its line goes to
    // the batch's part of the report, not here, and is the input's reason.
    void noteRefusal(const ReportLine& line);

    // Every line, in order.
    std::string lines() const;
    int failures() const { return m_failures; }

    // Whether something of input `inputIndex` failed, and the lines that
    // said so. A failure outside every input (the output cannot be created)
    // is every input's that has none of its own.
    bool inputFailed(std::size_t inputIndex) const;
    std::string reasonOf(std::size_t inputIndex) const;
    // The pages of input `inputIndex` that went into the output, in order.
    std::vector<int> pagesWritten(std::size_t inputIndex) const;
    // The reason of the failure noted last (the output's, when it failed).
    const std::string& lastReason() const { return m_lastReason; }

    // Hands lines and faults to the observer, in the order they came, unless
    // they went to it live.
    void replayInto(BatchObserver& observer) const;

private:
    struct Fault {
        std::size_t atLine; // lines written before it
        std::string caption;
        std::string text;
    };

    static constexpr std::size_t kNoInput = std::size_t(-1);

    BatchObserver* m_live;
    std::function<void(std::size_t)> m_follow;
    std::vector<std::string> m_lines;
    std::vector<Fault> m_faults;
    std::vector<std::string> m_stepReasons; // of the lines since the step or the input began
    std::size_t m_input = kNoInput;
    std::vector<std::string> m_reasons; // per input; empty: none failed
    std::vector<bool> m_inputFailed;
    std::vector<std::vector<int>> m_pagesWritten; // per input
    std::string m_runReason;                      // a failure outside every input
    std::string m_lastReason;
    bool m_runFailed = false;
    int m_failures = 0;
};

} // namespace pagesmith
