#pragma once

#include <optional>
#include <string>

namespace pagesmith {

// Joins program arguments 1..argc-1 into one command-line text. An argument
// holding white space (and no double quote) gets its value, what follows its
// first "=", wrapped in double quotes, so "/d=/my scans" arrives whole. No
// arguments at all: no text.
std::optional<std::string> commandLineText(int argc, const char* const* argv);

} // namespace pagesmith
