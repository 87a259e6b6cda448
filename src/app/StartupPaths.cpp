#include "app/StartupPaths.h"

#include "app/SettingsStore.h"
#include "base/Paths.h"
#include "platform/ProgramFile.h"
#include "platform/Utf8Paths.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>

namespace pagesmith {

namespace {

constexpr const char* kLogFolder = "log";
constexpr const char* kLogName = "pagesmithlog.txt";

std::string logUnder(const std::string& folder) {
    return joinPath(joinPath(folder, kLogFolder), kLogName);
}

} // namespace

std::string defaultLogPath(const std::string& moduleFolder) {
    // Beside the program when it may write there (a build or portable copy);
    // an installed program logs under the user's data folder instead of losing
    // its log.
    // On Windows the user's folder is the local application data.
    if (platform::canCreateFilesIn(moduleFolder))
        return logUnder(moduleFolder);
    const std::string userFolder =
        joinPath(joinPath(QDir::toNativeSeparators(
                              QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                              .toStdString(),
                          "Tolvane"),
                 "Pagesmith");
    std::error_code ignored;
    std::filesystem::create_directories(platform::pathFromUtf8(userFolder), ignored);
    return logUnder(userFolder);
}

int threadsSetting(const char* value) {
    if (!value || *value < '1' || *value > '9')
        return 0;
    char* end = nullptr;
    const long threads = std::strtol(value, &end, 10);
    return *end == '\0' && threads <= 1024 ? int(threads) : 0;
}

ProcessSettings startupSettings(const std::string& modulePath, const std::string& scratchPath) {
    ProcessSettings settings;
    settings.modulePath = modulePath;
    settings.scratchPath = scratchPath;
    settings.logPath = defaultLogPath(splitPath(modulePath).folder);
    const std::string stored = readSetting(kLogPathSetting);
    if (!stored.empty() && fitsPathLimit(stored))
        settings.logPath = stored;
    settings.threads = threadsSetting(std::getenv("PAGESMITH_THREADS"));
    return settings;
}

} // namespace pagesmith
