#include "app/RunLog.h"

#include "base/Paths.h"

#include <cstdio>
#include <ctime>
#include <filesystem>

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
    const std::string stamp = timeStamp();
    // Text mode: on platforms that mark line ends with CR LF, each "\n" gets its CR.
    std::FILE* log = std::fopen(logPath.c_str(), "a+");
    if (!log)
        return;
    std::fwrite(stamp.data(), 1, stamp.size(), log);
    std::fwrite(text.data(), 1, text.size(), log);
    if (!shortLog)
        std::fputs(kSeparator, log);
    std::fclose(log);
}

} // namespace pagesmith
