#pragma once

#include <string>

namespace pagesmith {

// Receives libtiff's error and warning messages about one handle. Every
// handle is opened with its own receiver, or none (the messages are
// dropped), so a message comes with the file it concerns and never reaches
// a run on another thread. Called on the thread that uses the handle.
class TiffMessages {
public:
    virtual ~TiffMessages() = default;
    virtual void tiffMessage(bool error, const std::string& module, const std::string& text) = 0;
};

// Installs no-op process-wide libtiff error and warning handlers, for the few
// messages libtiff raises without a handle, so no library text reaches the
// user. Called once at start-up, before any other thread runs.
void silenceTiffDiagnostics();

} // namespace pagesmith
