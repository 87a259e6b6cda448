#pragma once

#include <string>

namespace pagesmith::platform {

// The running program's own file, as a full path; from `argv0` when the
// system cannot say.
std::string runningProgramPath(const char* argv0);

// Whether this process may create files in `folder`.
bool canCreateFilesIn(const std::string& folder);

} // namespace pagesmith::platform
