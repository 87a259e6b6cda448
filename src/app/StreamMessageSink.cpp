#include "app/StreamMessageSink.h"

#include "platform/Console.h"

namespace pagesmith {

void StreamMessageSink::show(const std::string& caption, const std::string& text,
                             MessageKind kind) {
    if (kind == MessageKind::Result) {
        std::string shown = text;
        if (shown.empty() || shown.back() != '\n')
            shown += '\n';
        platform::writeToStream(platform::StandardStream::Output, shown);
    } else {
        platform::writeToStream(platform::StandardStream::Error, caption + ": " + text + "\n");
    }
}

} // namespace pagesmith
