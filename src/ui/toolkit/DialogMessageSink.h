#pragma once

#include "batch/MessageSink.h"

namespace pagesmith {

// Message boxes on screen, for a user at an interactive display.
class DialogMessageSink : public MessageSink {
public:
    void show(const std::string& caption, const std::string& text, MessageKind kind) override;
};

} // namespace pagesmith
