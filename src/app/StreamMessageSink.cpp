#include "app/StreamMessageSink.h"

#include <cstdio>

namespace pagesmith {

void StreamMessageSink::show(const std::string& caption, const std::string& text,
                             MessageKind kind) {
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

} // namespace pagesmith
