#pragma once

#include "app/ProcessSettings.h"

#include <string>

namespace pagesmith {

// The default run log: the program folder's "log/pagesmithlog.txt" when that
// folder is writable, otherwise the same under the per-user data folder.
std::string defaultLogPath(const std::string& moduleFolder);

// The cores a batch may keep busy, as PAGESMITH_THREADS gives them: a
// positive whole number; anything else (or nothing) is 0, every core.
int threadsSetting(const char* value);

// The settings of a fresh start: module path, scratch file, the log path
// (the stored one when it is set and fits the path limit, else the default)
// and the thread count from the environment.
ProcessSettings startupSettings(const std::string& modulePath, const std::string& scratchPath);

} // namespace pagesmith
