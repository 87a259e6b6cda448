#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pagesmith {

// "--window" as the first argument opens the window rather than running a
// batch, showing what the arguments after it name: a folder, or files to be
// checked in their folder (a file manager's "Open with"). The paths come back
// made absolute against the working folder. Nothing for any other command
// line, which runs a batch as ever.
std::optional<std::vector<std::string>> windowOptionPaths(int argc, const char* const* argv);

} // namespace pagesmith
