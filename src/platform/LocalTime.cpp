#include "platform/LocalTime.h"

namespace pagesmith::platform {

#ifdef _WIN32

std::tm localTime(std::time_t time) {
    std::tm local{};
    localtime_s(&local, &time);
    return local;
}

#else

std::tm localTime(std::time_t time) {
    std::tm local{};
    localtime_r(&time, &local);
    return local;
}

#endif

} // namespace pagesmith::platform
