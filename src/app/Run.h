#pragma once

namespace pagesmith {

// The whole program: start-up, then the command-line batch or the window.
// Returns the exit code.
int run(int argc, const char* const* argv);

} // namespace pagesmith
