#include "batch/BatchResult.h"

namespace pagesmith {

std::string BatchResult::startLine() const {
    if (merge)
        return "Start merging ...\n";
    return converts ? "Start converting ...\n" : "";
}

std::string reportText(const BatchResult& result, const std::string& lead,
                       const std::string& engineLead) {
    if (result.shortLog)
        return result.fileLines + result.closingLines;
    return lead + result.header + result.fileLines + engineLead + result.engineLines +
           result.closingLines;
}

} // namespace pagesmith
