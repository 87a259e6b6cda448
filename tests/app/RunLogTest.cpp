#include "app/RunLog.h"
#include "app/ProcessState.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <regex>
#include <unistd.h>

namespace pagesmith {
namespace {

using test::readTextFile;
using test::TempDir;

const std::string kSeparator = "--------------------------------------------------\n";
const std::regex kStamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");

// The log with each 19-character time stamp replaced by "<time>".
std::string maskedLog(const std::filesystem::path& path) {
    return std::regex_replace(readTextFile(path), kStamp, "<time>");
}

class RunLog : public ::testing::Test {
protected:
    void SetUp() override { resetProcessState(); }
    void TearDown() override { resetProcessState(); }
    TempDir dir;
};

TEST_F(RunLog, AppendsTimeStampTextAndSeparatorPerEntry) {
    const std::string log = dir.file("run.txt");
    appendRunLog(log, "\nCMD : first\n");
    appendRunLog(log, "second\r\n");
    EXPECT_EQ(maskedLog(log),
              "<time>\nCMD : first\n" + kSeparator + "<time>second\r\n" + kSeparator);
}

TEST_F(RunLog, ShortLogLeavesOutTheSeparators) {
    processState().shortLog = 1;
    const std::string log = dir.file("run.txt");
    appendRunLog(log, "a\n");
    appendRunLog(log, "b\n");
    EXPECT_EQ(maskedLog(log), "<time>a\n<time>b\n");
}

TEST_F(RunLog, CreatesTheMissingLogFolderButNotItsParents) {
    const std::string oneLevel = (dir.path() / "log" / "pagesmithlog.txt").string();
    appendRunLog(oneLevel, "x");
    EXPECT_EQ(maskedLog(oneLevel), "<time>x" + kSeparator);

    const auto twoLevels = dir.path() / "missing" / "log" / "pagesmithlog.txt";
    appendRunLog(twoLevels.string(), "x");
    EXPECT_FALSE(std::filesystem::exists(twoLevels.parent_path()));
}

TEST_F(RunLog, WritesABareFileNameInTheCurrentFolder) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    appendRunLog("bare.txt", "x");
    std::filesystem::current_path(previous);
    EXPECT_EQ(maskedLog(dir.path() / "bare.txt"), "<time>x" + kSeparator);
}

TEST_F(RunLog, SilentlySkipsAnEmptyPathOrAnUnwritableFile) {
    appendRunLog("", "x");
    // A folder where the log file should be cannot be opened for appending.
    std::filesystem::create_directory(dir.path() / "taken");
    appendRunLog((dir.path() / "taken").string(), "x");
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken"));
}

TEST_F(RunLog, TimeStampIsTheLocalTimeOfTheWrite) {
    const std::string log = dir.file("run.txt");
    const std::time_t before = std::time(nullptr);
    appendRunLog(log, "x");
    const std::string text = readTextFile(log);
    std::tm stamp{};
    ASSERT_NE(strptime(text.substr(0, 19).c_str(), "%Y-%m-%d %H:%M:%S", &stamp), nullptr);
    stamp.tm_isdst = -1;
    EXPECT_LE(std::abs(std::difftime(std::mktime(&stamp), before)), 2.0);
}

} // namespace
} // namespace pagesmith
