#pragma once

namespace pagesmith {

// Creates the process's application object on first use; the program's own
// arguments are not handed to it (they are options of ours).
void ensureGuiApplication();

} // namespace pagesmith
