#pragma once

#include <ctime>

namespace pagesmith::platform {

// The local calendar time of `time`, safe to call from any thread.
std::tm localTime(std::time_t time);

} // namespace pagesmith::platform
