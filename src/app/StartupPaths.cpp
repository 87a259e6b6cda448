#include "app/StartupPaths.h"

#include "app/SettingsStore.h"
#include "base/Paths.h"

#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace pagesmith {

namespace fs = std::filesystem;

namespace {

constexpr const char* kLogFolder = "log";
constexpr const char* kLogName = "pagesmithlog.txt";

std::string logUnder(const fs::path& folder) {
    return (folder / kLogFolder / kLogName).string();
}

} // namespace

std::string currentModulePath(const char* argv0) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        return self.string();
    if (argv0 && *argv0) {
        const fs::path resolved = fs::weakly_canonical(fs::absolute(argv0, error), error);
        if (!error)
            return resolved.string();
        return argv0;
    }
    return {};
}

std::string defaultLogPath(const std::string& moduleFolder) {
    // Beside the program when it may write there (a build or portable copy);
    // an installed program logs under the user's data folder instead of losing
    // its log.
    if (!moduleFolder.empty() && access(moduleFolder.c_str(), W_OK) == 0)
        return logUnder(moduleFolder);
    const fs::path userFolder =
        fs::path(
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()) /
        "Tolvane" / "Pagesmith";
    std::error_code ignored;
    fs::create_directories(userFolder, ignored);
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
    settings.logPath = defaultLogPath(fs::path(modulePath).parent_path().string());
    const std::string stored = readSetting(kLogPathSetting);
    if (!stored.empty() && fitsPathLimit(stored))
        settings.logPath = stored;
    settings.threads = threadsSetting(std::getenv("PAGESMITH_THREADS"));
    return settings;
}

} // namespace pagesmith
