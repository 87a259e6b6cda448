#include "batch/BatchResult.h"

#include <algorithm>

namespace pagesmith {

int OutputPages::outputPageOf(int sourcePage) const {
    const auto found = std::find(sourcePages.begin(), sourcePages.end(), sourcePage);
    return found == sourcePages.end() ? -1 : firstPage + int(found - sourcePages.begin());
}

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
