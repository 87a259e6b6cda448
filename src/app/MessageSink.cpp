#include "app/MessageSink.h"

#include <cstdio>

namespace pagesmith {

namespace {

class StreamMessageSink : public MessageSink {
public:
    void show(const std::string& caption, const std::string& text, MessageKind kind) override {
        if (kind == MessageKind::Result) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            if (text.empty() || text.back() != '\n')
                std::fputc('\n', stdout);
            std::fflush(stdout);
        } else {
            std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
            std::fflush(stderr);
        }
    }
};

StreamMessageSink streamSink;
MessageSink* currentSink = &streamSink;

} // namespace

MessageSink* setMessageSink(MessageSink* sink) {
    MessageSink* previous = currentSink;
    currentSink = sink ? sink : &streamSink;
    return previous;
}

void showMessage(const std::string& caption, const std::string& text, MessageKind kind) {
    currentSink->show(caption, text, kind);
}

} // namespace pagesmith
