#pragma once

#include <string>

namespace pagesmith {

enum class MessageKind { Result, Error };

// Where message boxes go. Without an interactive display the default sink
// writes results to standard output and errors to standard error, so nothing
// ever waits for a click that cannot come. Window builds install a dialog
// sink; tests install a recorder.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    virtual void show(const std::string& caption, const std::string& text, MessageKind kind) = 0;
};

// Installs a sink (nullptr restores the stream sink); returns the previous one.
MessageSink* setMessageSink(MessageSink* sink);

void showMessage(const std::string& caption, const std::string& text, MessageKind kind);

} // namespace pagesmith
