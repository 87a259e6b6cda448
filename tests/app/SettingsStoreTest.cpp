#include "app/SettingsStore.h"
#include "app/StartupPaths.h"
#include "base/Paths.h"
#include "platform/PathRules.h"
#include "support/RegistrySetting.h"
#include "support/TempDir.h"

#include <QSettings>
#include <gtest/gtest.h>

#include <cstdlib>

namespace pagesmith {
namespace {

using test::TempDir;

// Points the store at a temporary folder, never at the user's own settings;
// on Windows, where the store is the registry, the value is cleared for the
// test and put back afterwards.
class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QString::fromStdString(dir.str()));
    }
    TempDir dir;
#ifdef _WIN32
    test::RegistryLogSetting registry;
#endif
};

TEST_F(SettingsStore, ReadsEmptyBeforeAnythingIsStored) {
    EXPECT_EQ(readSetting(kLogPathSetting), "");
}

#ifdef _WIN32
// HKEY_CURRENT_USER\Software\Tolvane\Pagesmith\Udt, value pgslog, in any
// characters: read back through the registry's own calls and through the store.
TEST_F(SettingsStore, KeepsTheLogPathUnderTheMakersKey) {
    for (const std::string path :
         {"C:\\Scans\\log.txt",
          "D:\\\xC3\x9C"
          "berweisung \xC3\xA4\\log.txt",
          "\\\\server\\share\\\xE8\xAB\x8B\xE6\xB1\x82\xE6\x9B\xB8 \xE7\xAC\xAC"
          "1\xE5\x8F\xB7.txt"}) {
        writeSetting(kLogPathSetting, path);
        EXPECT_EQ(readSetting(kLogPathSetting), path);
        const auto stored = test::RegistryLogSetting::read();
        ASSERT_TRUE(stored.has_value()) << path;
        EXPECT_EQ(stored->text, path);
        EXPECT_EQ(stored->type, DWORD(REG_SZ));
    }
    // A value written by other means is read, unexpanded.
    test::RegistryLogSetting::write("%USERPROFILE%\\log.txt");
    EXPECT_EQ(readSetting(kLogPathSetting), "%USERPROFILE%\\log.txt");
}
#else
TEST_F(SettingsStore, KeepsTheLogPathUnderTheMakersKey) {
    writeSetting(kLogPathSetting, "/var/log/scans/pagesmith.txt");
    EXPECT_EQ(readSetting(kLogPathSetting), "/var/log/scans/pagesmith.txt");
    const auto file = dir.path() / "Tolvane" / "Pagesmith.conf";
    ASSERT_TRUE(std::filesystem::exists(file));
    QSettings raw(QString::fromStdString(file.string()), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Udt/pgslog").toString(), "/var/log/scans/pagesmith.txt");
}
#endif

TEST_F(SettingsStore, AValueTooLongForTheReaderCountsAsAbsent) {
    writeSetting(kLogPathSetting, std::string(2047, 'a'));
    EXPECT_EQ(readSetting(kLogPathSetting).size(), 2047u);
    writeSetting(kLogPathSetting, std::string(2048, 'a'));
    EXPECT_EQ(readSetting(kLogPathSetting), "");
}

TEST_F(SettingsStore, StartUpUsesTheStoredLogPathOnlyWhenSetAndUsable) {
    const std::string module = dir.file("pagesmith");
    const ProcessSettings fresh = startupSettings(module, dir.file("scratch.tbw"));
    // The default log lies in the program's folder.
    EXPECT_EQ(fresh.logPath, (dir.path() / "log" / "pagesmithlog.txt").string());
    EXPECT_EQ(fresh.modulePath, module);
    EXPECT_EQ(fresh.scratchPath, dir.file("scratch.tbw"));
    EXPECT_EQ(fresh.shortLog, 0);

    writeSetting(kLogPathSetting, "/elsewhere/log.txt");
    EXPECT_EQ(startupSettings(module, dir.file("scratch.tbw")).logPath, "/elsewhere/log.txt");

    // Longer than any path the platform opens: the default stays.
    writeSetting(kLogPathSetting, "/" + std::string(platform::maxPathLength(), 'a'));
    EXPECT_EQ(startupSettings(module, dir.file("scratch.tbw")).logPath,
              (dir.path() / "log" / "pagesmithlog.txt").string());
}

#ifdef _WIN32
TEST_F(SettingsStore, DefaultLogGoesToTheLocalApplicationDataWhenTheProgramFolderIsUnusable) {
    const std::string log = defaultLogPath(dir.file("no-such-folder"));
    const char* localData = std::getenv("LOCALAPPDATA");
    ASSERT_NE(localData, nullptr);
    EXPECT_EQ(log, std::string(localData) + "\\Tolvane\\Pagesmith\\log\\pagesmithlog.txt");
    EXPECT_TRUE(std::filesystem::is_directory(std::string(localData) + "\\Tolvane\\Pagesmith"));
}
#else
TEST_F(SettingsStore, DefaultLogGoesToTheUserDataFolderWhenTheProgramFolderIsUnusable) {
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dir.file("data")));
    const std::string log = defaultLogPath(dir.file("no-such-folder"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(
        log, (dir.path() / "data" / "Tolvane" / "Pagesmith" / "log" / "pagesmithlog.txt").string());
    // Its parents exist, so the run log only has to make its own folder.
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "data" / "Tolvane" / "Pagesmith"));
}
#endif

} // namespace
} // namespace pagesmith
