#pragma once

namespace pagesmith::platform {

enum class DisplayKind {
    None,        // no window can be opened
    Offscreen,   // windows can be made, but nobody sees or clicks them
    Interactive, // a user at a screen
};

// What the window system offers this process, judged from the environment
// without touching it (a failed connection would end the process): on
// Windows and macOS always a screen; on Linux what QT_QPA_PLATFORM, DISPLAY
// and WAYLAND_DISPLAY say.
DisplayKind detectDisplay();

} // namespace pagesmith::platform
