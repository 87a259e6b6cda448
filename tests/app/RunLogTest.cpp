#include "app/RunLog.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <regex>
#include <sstream>
#include <thread>

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
    TempDir dir;
};

TEST_F(RunLog, AppendsTimeStampTextAndSeparatorPerEntry) {
    const std::string log = dir.file("run.txt");
    appendRunLog(log, "\nCMD : first\n", 0);
    appendRunLog(log, "second\r\n", 0);
    EXPECT_EQ(maskedLog(log),
              "<time>\nCMD : first\n" + kSeparator + "<time>second\r\n" + kSeparator);
}

TEST_F(RunLog, ShortLogLeavesOutTheSeparators) {
    const std::string log = dir.file("run.txt");
    appendRunLog(log, "a\n", 1);
    appendRunLog(log, "b\n", 1);
    EXPECT_EQ(maskedLog(log), "<time>a\n<time>b\n");
}

TEST_F(RunLog, CreatesTheMissingLogFolderButNotItsParents) {
    const std::string oneLevel = (dir.path() / "log" / "pagesmithlog.txt").string();
    appendRunLog(oneLevel, "x", 0);
    EXPECT_EQ(maskedLog(oneLevel), "<time>x" + kSeparator);

    const auto twoLevels = dir.path() / "missing" / "log" / "pagesmithlog.txt";
    appendRunLog(twoLevels.string(), "x", 0);
    EXPECT_FALSE(std::filesystem::exists(twoLevels.parent_path()));
}

TEST_F(RunLog, WritesABareFileNameInTheCurrentFolder) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    appendRunLog("bare.txt", "x", 0);
    std::filesystem::current_path(previous);
    EXPECT_EQ(maskedLog(dir.path() / "bare.txt"), "<time>x" + kSeparator);
}

TEST_F(RunLog, SilentlySkipsAnEmptyPathOrAnUnwritableFile) {
    appendRunLog("", "x", 0);
    // A folder where the log file should be cannot be opened for appending.
    std::filesystem::create_directory(dir.path() / "taken");
    appendRunLog((dir.path() / "taken").string(), "x", 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "taken"));
}

TEST_F(RunLog, TimeStampIsTheLocalTimeOfTheWrite) {
    const std::string log = dir.file("run.txt");
    const std::time_t before = std::time(nullptr);
    appendRunLog(log, "x", 0);
    const std::string text = readTextFile(log);
    std::tm stamp{};
    std::istringstream written(text.substr(0, 19));
    written >> std::get_time(&stamp, "%Y-%m-%d %H:%M:%S");
    ASSERT_FALSE(written.fail()) << text;
    stamp.tm_isdst = -1;
    EXPECT_LE(std::abs(std::difftime(std::mktime(&stamp), before)), 2.0);
}

// Runs that share one log (a script converting several folders at once) never
// interleave inside an entry: each entry is one line of its own letter. The
// system places each append in one piece whichever process or thread makes
// it; threads stand in for the processes here.
TEST_F(RunLog, ConcurrentRunsKeepEachEntryWhole) {
    const std::string log = dir.file("shared.txt");
    constexpr int kRuns = 4, kEntries = 25;
    std::vector<std::thread> runs;
    for (int run = 0; run < kRuns; ++run) {
        runs.emplace_back([&log, run] {
            for (int entry = 0; entry < kEntries; ++entry)
                appendRunLog(log, std::string(100000, char('a' + run)) + "\n", 0);
        });
    }
    for (std::thread& run : runs)
        run.join();

    // Entry by entry: the time stamp, 100000 times one letter, the separator.
    const std::string text = readTextFile(log);
    const std::size_t entrySize = 19 + 100001 + kSeparator.size();
    ASSERT_EQ(text.size(), kRuns * kEntries * entrySize);
    for (std::size_t at = 0; at < text.size(); at += entrySize) {
        const std::string entry = text.substr(at + 19, entrySize - 19);
        EXPECT_EQ(entry, std::string(100000, entry[0]) + "\n" + kSeparator) << "entry at " << at;
        EXPECT_TRUE(std::regex_match(text.substr(at, 19), kStamp)) << "entry at " << at;
    }
}

} // namespace
} // namespace pagesmith
