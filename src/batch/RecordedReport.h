#pragma once

#include "engine/ProgressReport.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pagesmith {

// Keeps what a conversion sends to its report, in order, so that a file
// converted on a pool thread can be reported on the batch thread later,
// exactly as if it had reported there itself.
class RecordedReport : public ProgressReport {
public:
    void addLine(const std::string& text) override;
    void markFile(std::size_t fileIndex, const std::string& status) override;
    void showError(const std::string& caption, const std::string& text) override;
    void noteFailure() override;

    // Sends everything kept, in the order it came.
    void replayInto(ProgressReport& report) const;

private:
    enum class Kind { Line, Mark, Error, Failure };
    struct Entry {
        Kind kind;
        std::size_t fileIndex = 0;
        std::string first;  // the line, the status or the caption
        std::string second; // the error's text
    };
    std::vector<Entry> m_entries;
};

} // namespace pagesmith
