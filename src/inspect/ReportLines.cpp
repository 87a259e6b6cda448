#include "inspect/ReportLines.h"

#include <cstdarg>
#include <cstdio>

namespace pagesmith {

namespace {

std::string formatArgs(const char* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed <= 0)
        return {};
    std::string text(static_cast<std::size_t>(needed), '\0');
    std::vsnprintf(text.data(), text.size() + 1, format, args);
    return text;
}

} // namespace

std::string formatText(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = formatArgs(format, args);
    va_end(args);
    return text;
}

std::string shownName(const std::string& name) {
    std::string shown = name;
    for (char& byte : shown)
        if (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7f)
            byte = '?';
    return shown;
}

} // namespace pagesmith
