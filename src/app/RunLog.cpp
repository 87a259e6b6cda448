#include "app/RunLog.h"

#include "base/Paths.h"
#include "base/ReportMessages.h"
#include "platform/AppendFile.h"
#include "platform/LocalTime.h"
#include "platform/Utf8Paths.h"

#include <ctime>
#include <filesystem>

namespace pagesmith {

namespace {

// Only the log's own folder is created, not its parents: a log path in a
// missing tree is most likely a typing error.
bool logFolderReady(const std::string& logPath) {
    const std::filesystem::path folder = platform::pathFromUtf8(splitPath(logPath).folder);
    if (folder.empty())
        return true; // current folder, or the root
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    std::filesystem::create_directory(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string timeStamp() {
    const std::tm local = platform::localTime(std::time(nullptr));
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
        entry += messageText(ReportMessage::LogSeparator);
    // One write on a file opened for appending: runs that share the log (a
    // script converting several folders at once) cannot interleave inside an
    // entry. A log that cannot take the entry leaves the run as it was.
    platform::appendToFile(logPath, entry);
}

} // namespace pagesmith
