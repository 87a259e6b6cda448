#pragma once

namespace pagesmith {

// Installs no-op libtiff error and warning handlers for the whole process, so
// no library text reaches the user. Safe to call more than once.
void silenceTiffDiagnostics();

} // namespace pagesmith
