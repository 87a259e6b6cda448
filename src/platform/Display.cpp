#include "platform/Display.h"

#include <cstdlib>
#include <string>

namespace pagesmith::platform {

#if defined(_WIN32) || defined(__APPLE__)

DisplayKind detectDisplay() {
    return DisplayKind::Interactive;
}

#else

DisplayKind detectDisplay() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    std::string platform = set("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "";
    platform = platform.substr(0, platform.find(':'));
    if (platform == "offscreen" || platform == "minimal")
        return DisplayKind::Offscreen;
    if (platform == "xcb")
        return set("DISPLAY") ? DisplayKind::Interactive : DisplayKind::None;
    if (platform == "wayland")
        return set("WAYLAND_DISPLAY") ? DisplayKind::Interactive : DisplayKind::None;
    if (!platform.empty())
        return DisplayKind::Interactive; // a framebuffer or remote platform chosen on purpose
    return set("DISPLAY") || set("WAYLAND_DISPLAY") ? DisplayKind::Interactive : DisplayKind::None;
}

#endif

} // namespace pagesmith::platform
