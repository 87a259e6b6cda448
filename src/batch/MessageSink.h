#pragma once

#include <string>

namespace pagesmith {

enum class MessageKind { Result, Error };

// Where message boxes go. The entry picks one for the process and hands it
// down: boxes on screen for a user at an interactive display, otherwise the
// standard streams, so nothing ever waits for a click that cannot come; tests
// hand in a recorder.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const std::string& caption, const std::string& text, MessageKind kind) = 0;
};

} // namespace pagesmith
