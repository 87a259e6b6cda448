#include "batch/watch/WatchState.h"

#include "platform/Utf8Paths.h"

#include <QFile>
#include <QSaveFile>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace pagesmith {

namespace fs = std::filesystem;

namespace {

constexpr const char* kFirstLine = "pagesmith watch state 1";

// One entry a line: names may hold any byte but the line end must stay one.
std::string escaped(const std::string& name) {
    std::string text;
    for (const char c : name) {
        if (c == '\\')
            text += "\\\\";
        else if (c == '\n')
            text += "\\n";
        else if (c == '\r')
            text += "\\r";
        else
            text += c;
    }
    return text;
}

std::string unescaped(const std::string& text) {
    std::string name;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            name += text[i];
            continue;
        }
        const char next = text[++i];
        name += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return name;
}

} // namespace

std::optional<FileStamp> stampOf(const std::string& utf8Path) {
    const fs::path path = platform::pathFromUtf8(utf8Path);
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error || !fs::is_regular_file(status))
        return std::nullopt;
    const std::uintmax_t size = fs::file_size(path, error);
    if (error)
        return std::nullopt;
    const fs::file_time_type time = fs::last_write_time(path, error);
    if (error)
        return std::nullopt;
    // Since 1970, whatever epoch the library's file clock counts from.
    const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(
                           std::chrono::file_clock::to_sys(time).time_since_epoch())
                           .count();
    return FileStamp{size, std::int64_t(since)};
}

WatchState::WatchState(std::string path) : m_path(std::move(path)) {}

void WatchState::load() {
    m_stamps.clear();
    std::ifstream in(platform::pathFromUtf8(m_path), std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kFirstLine)
        return;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        FileStamp stamp;
        std::string name;
        if (!(fields >> stamp.size >> stamp.modifiedNanoseconds) || fields.get() != ' ')
            continue;
        std::getline(fields, name);
        if (!name.empty())
            m_stamps[unescaped(name)] = stamp;
    }
}

bool WatchState::save() const {
    std::string text = std::string(kFirstLine) + "\n";
    for (const auto& [name, stamp] : m_stamps)
        text += std::to_string(stamp.size) + " " + std::to_string(stamp.modifiedNanoseconds) + " " +
                escaped(name) + "\n";
    // Written beside the state file and renamed over it.
    QSaveFile file(QFile::decodeName(m_path.c_str()));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(text.data(), qint64(text.size())) != qint64(text.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

// A watch started from another folder, or with the folder spelled another
// way, finds the same entries.
std::string WatchState::keyOf(const std::string& inputPath) {
    std::error_code error;
    const fs::path absolute = fs::absolute(platform::pathFromUtf8(inputPath), error);
    return error ? inputPath : platform::utf8FromPath(absolute.lexically_normal());
}

bool WatchState::isHandled(const std::string& inputPath, const FileStamp& stamp) const {
    const auto found = m_stamps.find(keyOf(inputPath));
    return found != m_stamps.end() && found->second == stamp;
}

void WatchState::record(const std::string& inputPath, const FileStamp& stamp) {
    m_stamps[keyOf(inputPath)] = stamp;
}

} // namespace pagesmith
