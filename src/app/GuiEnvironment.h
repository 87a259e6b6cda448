#pragma once

namespace pagesmith {

enum class DisplayKind {
    None,        // no window can be opened
    Offscreen,   // windows can be made, but nobody sees or clicks them
    Interactive, // a user at a screen
};

// What the window system offers this process, judged without touching it (a
// failed connection would end the process).
DisplayKind detectDisplay();

// Creates the process's application object on first use; the program's own
// arguments are not handed to it (they are options of ours).
void ensureGuiApplication();

} // namespace pagesmith
