#pragma once

#include <string_view>

namespace pagesmith::platform {

// The usage text's words where the systems differ: where the report is
// shown, how a watch is ended, and the part after the options (examples,
// where files live, exit statuses) in the system's own terms.
struct UsageWords {
    std::string_view shownWhere;
    std::string_view watchEnds;
    std::string_view platformPart;
};

UsageWords usageWords();

} // namespace pagesmith::platform
