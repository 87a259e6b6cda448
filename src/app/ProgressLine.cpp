#include "app/ProgressLine.h"

#include "inspect/ReportLines.h"

#include <cstdio>

namespace pagesmith {

namespace {

bool isContinuationByte(char byte) {
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

// The last `columns` characters of a text, never starting inside a character.
std::string lastColumns(const std::string& text, std::size_t columns) {
    std::size_t start = text.size();
    for (std::size_t taken = 0; start > 0 && taken < columns;) {
        --start;
        if (!isContinuationByte(text[start]))
            ++taken;
    }
    return text.substr(start);
}

std::string firstColumns(const std::string& text, std::size_t columns) {
    std::size_t end = 0;
    for (std::size_t taken = 0; end < text.size(); ++end) {
        if (!isContinuationByte(text[end]) && taken++ == columns)
            break;
    }
    return text.substr(0, end);
}

// "m:ss", or "h:mm:ss" from an hour on.
std::string clockText(std::chrono::seconds duration) {
    const long long total = duration.count() < 0 ? 0 : duration.count();
    const long long hours = total / 3600;
    const long long minutes = total / 60 % 60;
    const long long seconds = total % 60;
    char text[32];
    if (hours > 0)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", hours, minutes, seconds);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", minutes, seconds);
    return text;
}

} // namespace

std::size_t columnsOf(const std::string& text) {
    std::size_t columns = 0;
    for (char byte : text)
        columns += isContinuationByte(byte) ? 0 : 1;
    return columns;
}

std::string progressLine(const ProgressSnapshot& snapshot, std::size_t width) {
    // Time left: the pace so far over the files still to come; no guess
    // before the first file is through.
    std::string left = "--:--";
    if (snapshot.done > 0 && snapshot.total >= snapshot.done)
        left = clockText(snapshot.elapsed * (snapshot.total - snapshot.done) / snapshot.done);

    const std::string counts = std::to_string(snapshot.done) + "/" +
                               std::to_string(snapshot.total) + " files | " +
                               clockText(snapshot.elapsed) + " elapsed | " + left + " left | ";
    const std::size_t room = width > 0 ? width - 1 : 0;
    const std::string name = shownName(snapshot.fileName);
    if (columnsOf(counts) + columnsOf(name) <= room)
        return counts + name;
    const std::string ellipsis = "...";
    if (columnsOf(counts) + ellipsis.size() + 1 <= room)
        return counts + ellipsis + lastColumns(name, room - columnsOf(counts) - ellipsis.size());
    return firstColumns(counts + name, room);
}

std::string watchLine(const std::string& folder, int converted, int failed, bool folderPresent,
                      std::size_t width) {
    const std::string counts = formatText(": %d converted, %d failed", converted, failed) +
                               (folderPresent ? "" : " (folder gone)");
    const std::size_t room = width > 0 ? width - 1 : 0;
    const std::string name = shownName(folder);
    const std::string lead = "watching ";
    if (columnsOf(lead + name + counts) <= room)
        return lead + name + counts;
    const std::string ellipsis = "...";
    if (columnsOf(lead + counts) + ellipsis.size() + 1 <= room)
        return lead + ellipsis +
               lastColumns(name, room - columnsOf(lead + counts) - ellipsis.size()) + counts;
    return firstColumns(lead + name + counts, room);
}

} // namespace pagesmith
