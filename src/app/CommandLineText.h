#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pagesmith {

// Program arguments 1..argc-1, each whole, as the options are read from them.
std::vector<std::string> commandLineArguments(int argc, const char* const* argv);

// The same arguments joined into one text, as the run log's command header
// shows them. An argument holding white space (and no double quote) gets its
// value, what follows its first "=", wrapped in double quotes. No arguments at
// all: no text.
std::optional<std::string> commandLineText(int argc, const char* const* argv);

} // namespace pagesmith
