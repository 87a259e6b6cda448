#pragma once

#include <optional>
#include <string>

namespace pagesmith {

// "--help", "-h" or "/?" as the only argument: the usage text (what the
// program does, its options, examples, where the run log and settings live,
// the exit status); "--version" as the only argument: the name and the
// version the build was made as. Anything else, these words
// among other arguments included, is an ordinary command line: no text.
std::optional<std::string> usageOrVersionText(int argc, const char* const* argv);

} // namespace pagesmith
