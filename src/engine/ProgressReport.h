#pragma once

#include "inspect/ReportLines.h"

#include <cstddef>
#include <string>

namespace pagesmith {

// A conversion run's progress target as the engine sees it: the report lines
// (from ReportLines), the mark a file gets once it has been handed to the
// engine, and the message box of a fault that no line can carry. The caller
// decides where each goes.
class ProgressReport : public ReportLines {
public:
    // The mark ("Converted", "Merged") of the file with this index in the
    // caller's list.
    virtual void markFile(std::size_t fileIndex, const std::string& status) = 0;
    virtual void showError(const std::string& caption, const std::string& text) = 0;
};

} // namespace pagesmith
