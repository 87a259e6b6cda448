#include "app/RunLog.h"

#include "base/Paths.h"

#include <ctime>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace pagesmith {

namespace {

constexpr const char* kSeparator = "--------------------------------------------------\n";

// Only the log's own folder is created, not its parents: a log path in a
// missing tree is most likely a typing error.
bool logFolderReady(const std::string& logPath) {
    const std::filesystem::path folder = splitPath(logPath).folder;
    if (folder.empty())
        return true; // current folder, or the root
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    std::filesystem::create_directory(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

} // namespace

void appendRunLog(const std::string& logPath, const std::string& text, int shortLog) {
    if (logPath.empty() || !logFolderReady(logPath))
        return;
    std::string entry = timeStamp() + text;
    if (!shortLog)
        entry += kSeparator;
    // One write on a file opened for appending: runs that share the log (a
    // script converting several folders at once) cannot interleave inside an
    // entry.
    const int log = ::open(logPath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (log < 0)
        return;
    const ssize_t written = ::write(log, entry.data(), entry.size());
    (void)written; // a log that cannot take the entry leaves the run as it was
    ::close(log);
}

} // namespace pagesmith
