#pragma once

#include "batch/MessageSink.h"

namespace pagesmith {

// Message boxes where no one can click them: results to standard output,
// errors to standard error as "caption: text".
class StreamMessageSink : public MessageSink {
public:
    void show(const std::string& caption, const std::string& text, MessageKind kind) override;
};

} // namespace pagesmith
