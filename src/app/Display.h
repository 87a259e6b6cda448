#pragma once

namespace pagesmith {

enum class DisplayKind {
    None,        // no window can be opened
    Offscreen,   // windows can be made, but nobody sees or clicks them
    Interactive, // a user at a screen
};

// What the window system offers this process, judged from the environment
// without touching it (a failed connection would end the process).
DisplayKind detectDisplay();

} // namespace pagesmith
