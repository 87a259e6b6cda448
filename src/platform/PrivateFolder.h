#pragma once

#include <string>

namespace pagesmith::platform {

// Creates a new folder of a fresh name starting with `prefix` under the
// system's temporary folder, open to this user only where the system allows;
// its path, or empty when none could be made.
std::string createPrivateFolder(const std::string& prefix);

// The system's temporary folder.
std::string temporaryFolder();

int processId();

} // namespace pagesmith::platform
