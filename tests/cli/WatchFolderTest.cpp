#include "cli/ProgramRunner.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <regex>
#include <thread>

namespace pagesmith {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// Waits for what the watch is expected to do; the limit is generous, as
// the machine may be busy.
bool waitFor(const std::function<bool()>& done,
             std::chrono::seconds limit = std::chrono::seconds(60)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

int filesIn(const fs::path& folder) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.is_regular_file() && entry.path().filename().string()[0] != '.' ? 1 : 0;
    return count;
}

bool holdsPartial(const fs::path& folder) {
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".partial-") != std::string::npos)
            return true;
    return false;
}

// How many files the reports say were converted and failed, over all entries.
std::pair<int, int> reportedCounts(const std::string& text) {
    static const std::regex converted(R"( \((\d+)\) tiff file\(s\) converted)");
    static const std::regex failed(R"( \((\d+)\) tiff file\(s\) failed)");
    std::pair<int, int> counts{0, 0};
    for (std::sregex_iterator it(text.begin(), text.end(), converted), end; it != end; ++it)
        counts.first += std::stoi((*it)[1]);
    for (std::sregex_iterator it(text.begin(), text.end(), failed), end; it != end; ++it)
        counts.second += std::stoi((*it)[1]);
    return counts;
}

int occurrences(const std::string& text, const std::string& part) {
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

#endif

// A watch on home/in converting to Group 4 into home/out (or `out`).
class Watch : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(in);
        fs::create_directories(staging);
    }

#ifndef _WIN32
    std::unique_ptr<test::RunningProgram> start(std::vector<std::string> extra = {}) {
        std::vector<std::string> arguments = {
            "/watch", "/d=" + in.string(), "/sd=" + out.string(), "/sc=g4",
            "/k",     "/log=" + logPath()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto running =
            std::make_unique<test::RunningProgram>(test::builtProgram(), arguments, home.path());
        EXPECT_TRUE(
            waitFor([&] { return standardOutput().find("Watching ") != std::string::npos; }));
        return running;
    }

    // Ends the watch as a service manager does.
    test::ProgramResult stop(std::unique_ptr<test::RunningProgram>& running) {
        running->signal(SIGTERM);
        return running->wait();
    }

#endif

    // A file written elsewhere and renamed into the folder, as a scanner
    // that writes under a temporary name does.
    void moveIn(const std::string& name, int pages = 1) {
        test::writeTiff(staging / name, std::vector<test::TestPage>(pages, test::faxPage()));
        fs::rename(staging / name, in / name);
    }

    bool converted(const std::string& name, int pages = 1) const {
        return fs::exists(out / name) && test::countPages(out / name) == pages;
    }

    std::string standardOutput() const { return test::readTextFile(home.path() / "stdout.txt"); }
    std::string log() const { return test::readTextFile(logPath()); }
    std::string logPath() const { return home.file("run.log"); }

    test::TempDir home;
    fs::path in = home.path() / "in";
    fs::path out = home.path() / "out";
    fs::path staging = home.path() / "staging";
};

struct RefusalCase {
    const char* name;
    std::vector<std::string> arguments; // besides /watch; IN and OUT stand for the folders
    const char* message;
};

void PrintTo(const RefusalCase& refusal, std::ostream* out) {
    *out << refusal.name;
}

class WatchRefusal : public Watch, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(WatchRefusal, IsOneLineAndStatusTwo) {
    std::vector<std::string> arguments = {"/watch"};
    for (std::string argument : GetParam().arguments) {
        for (const auto& [word, folder] : {std::pair{"IN", in}, std::pair{"OUT", out}})
            if (const std::size_t at = argument.find(word); at != std::string::npos)
                argument.replace(at, std::string(word).size(), folder.string());
        arguments.push_back(argument);
    }
    test::writeTiff(in / "a.tif", test::faxPage());
    const test::ProgramResult result =
        test::runProgram(test::builtProgram(), arguments, home.path());
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.standardError, std::string("pagesmith: ") + GetParam().message + "\n");
    EXPECT_FALSE(fs::exists(out));
}

INSTANTIATE_TEST_SUITE_P(
    Table, WatchRefusal,
    ::testing::Values(
        RefusalCase{"Merge",
                    {"/d=IN", "/m=a.tif", "/sd=OUT"},
                    "/watch cannot merge: it converts each file on its own (leave out /m=)"},
        RefusalCase{"OneFile",
                    {"/f=IN/a.tif", "/sd=OUT"},
                    "/watch needs a folder to watch (/d=), not a file (/f=)"},
        RefusalCase{"NoSaveFolder", {"/d=IN", "/sc=g4"}, "/watch needs a save folder (/sd=)"},
        RefusalCase{"SaveFolderIsTheWatchedOne",
                    {"/d=IN", "/sd=IN"},
                    "/watch needs a save folder (/sd=) other than the watched folder"},
        RefusalCase{"NamedOutput",
                    {"/d=IN", "/sf=OUT/all.tif"},
                    "/watch converts into the save folder only (leave out /sf=, /np and /tnp)"},
        RefusalCase{"SettleNotANumber",
                    {"/d=IN", "/sd=OUT", "/settle=soon"},
                    "/settle= needs a number of seconds, such as /settle=2"}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

#ifdef _WIN32

// The watch's own behaviour under Qt's watcher, and its end on a stop noted
// by the console handler, are tested in PortableWatch.
TEST(Watch, RunsUntilAStopSignal) {
    GTEST_SKIP() << "these tests end a running watch with SIGTERM, and no stop signal can be "
                    "sent to another process on Windows";
}

#else

TEST_F(Watch, ConvertsTheBacklogAndFilesMovedInThenEndsCleanlyOnSigterm) {
    moveIn("old1.tif");
    moveIn("old2.tif", 2);
    test::writeTextFile(in / "notes.txt", "not a TIFF file");
    auto running = start();
    ASSERT_TRUE(waitFor([&] { return converted("old1.tif") && converted("old2.tif", 2); }));
    moveIn("new.tif", 3);
    ASSERT_TRUE(waitFor([&] { return converted("new.tif", 3); }));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_EQ(filesIn(out), 3);
    EXPECT_EQ(reportedCounts(result.standardOutput), std::make_pair(3, 0));
    // One run-log entry per group: the backlog, then the arrival.
    EXPECT_EQ(occurrences(log(), "CMD : "), 2) << log();
    EXPECT_EQ(reportedCounts(log()), std::make_pair(3, 0));
    EXPECT_NE(log().find("FUC: Convert tiff files: folder " + in.string() + " --> " + out.string()),
              std::string::npos);
}

TEST_F(Watch, WritesPdfDocumentsToo) {
    moveIn("old.tif", 2);
    auto running = start({"/sc=pdf"});
    moveIn("new.tif");
    const auto isPdf = [&](const char* name) {
        return fs::exists(out / name) && test::readTextFile(out / name).rfind("%PDF-", 0) == 0 &&
               test::readTextFile(out / name).find("%%EOF") != std::string::npos;
    };
    ASSERT_TRUE(waitFor([&] { return isPdf("old.pdf") && isPdf("new.pdf"); }));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 0) << result.standardOutput;
    EXPECT_EQ(filesIn(out), 2);
    EXPECT_EQ(reportedCounts(log()), std::make_pair(2, 0));
}

TEST_F(Watch, TakesAFileWrittenInSlowPiecesOnlyOnceItIsWhole) {
    auto running = start({"/settle=1"});
    test::writeTiff(staging / "slow.tif", std::vector<test::TestPage>(4, test::faxPage()));
    const std::string whole = test::readTextFile(staging / "slow.tif");
    // A writer that opens, appends and closes again for each piece.
    const std::size_t piece = whole.size() / 4 + 1;
    for (std::size_t at = 0; at < whole.size(); at += piece) {
        std::ofstream(in / "slow.tif", std::ios::binary | std::ios::app) << whole.substr(at, piece);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    ASSERT_TRUE(waitFor([&] { return converted("slow.tif", 4); }));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 0) << result.standardOutput;
    EXPECT_EQ(reportedCounts(result.standardOutput), std::make_pair(1, 0));
    EXPECT_EQ(result.standardOutput.find("Failed"), std::string::npos) << result.standardOutput;
}

TEST_F(Watch, ConvertsEachFileOfABurstOnce) {
    constexpr int kFiles = 200;
    for (int i = 0; i < kFiles; ++i)
        test::writeTiff(staging / ("f" + std::to_string(i) + ".tif"), test::faxPage());
    auto running = start();
    for (int i = 0; i < kFiles; ++i)
        fs::rename(staging / ("f" + std::to_string(i) + ".tif"),
                   in / ("f" + std::to_string(i) + ".tif"));
    ASSERT_TRUE(waitFor([&] { return reportedCounts(standardOutput()).first >= kFiles; },
                        std::chrono::seconds(300)));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(filesIn(out), kFiles);
    EXPECT_EQ(reportedCounts(log()), std::make_pair(kFiles, 0));
}

TEST_F(Watch, ARestartConvertsOnlyWhatIsNewOrChanged) {
    moveIn("a.tif");
    moveIn("b.tif");
    moveIn("c.tif");
    auto first = start();
    ASSERT_TRUE(waitFor([&] { return filesIn(out) == 3; }));
    EXPECT_EQ(stop(first).exitCode, 0);

    // While it was not running: one output deleted, one source changed, one added.
    fs::remove(out / "a.tif");
    moveIn("b.tif", 2);
    moveIn("d.tif");
    auto second = start();
    ASSERT_TRUE(waitFor([&] { return converted("b.tif", 2) && converted("d.tif"); }));
    // A source touched while it runs comes again too.
    fs::last_write_time(in / "c.tif", fs::file_time_type::clock::now());
    ASSERT_TRUE(waitFor([&] { return reportedCounts(standardOutput()).first == 3; }));
    const test::ProgramResult result = stop(second);

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_FALSE(fs::exists(out / "a.tif"));
    EXPECT_EQ(reportedCounts(result.standardOutput), std::make_pair(3, 0));
    EXPECT_EQ(result.standardOutput.find("a.tif"), std::string::npos) << result.standardOutput;
    EXPECT_TRUE(fs::exists(out / ".pagesmith-watch"));
}

TEST_F(Watch, NeverWatchesASaveFolderInsideTheWatchedOne) {
    out = in / "converted";
    moveIn("a.tif");
    auto running = start();
    ASSERT_TRUE(waitFor([&] { return converted("a.tif"); }));
    moveIn("b.tif");
    ASSERT_TRUE(waitFor([&] { return converted("b.tif"); }));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(filesIn(out), 2);
    EXPECT_FALSE(fs::exists(out / "converted"));
    EXPECT_EQ(reportedCounts(result.standardOutput), std::make_pair(2, 0));
}

TEST_F(Watch, SaysWhenTheFolderGoesAwayAndGoesOnWhenItIsBack) {
    auto running = start();
    fs::remove(in);
    ASSERT_TRUE(waitFor([&] { return standardOutput().find(" is gone") != std::string::npos; }));
    fs::create_directory(in);
    ASSERT_TRUE(waitFor([&] { return standardOutput().find(" is back") != std::string::npos; }));
    moveIn("after.tif");
    ASSERT_TRUE(waitFor([&] { return converted("after.tif"); }));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(
        log().find("Watched folder " + in.string() + " is gone: waiting for it to come back\n"),
        std::string::npos)
        << log();
    EXPECT_NE(log().find("Watched folder " + in.string() + " is back\n"), std::string::npos);
}

TEST_F(Watch, ReportsAFileThatNeverBecomesReadableOnceAndEndsWithStatusThree) {
    auto running = start({"/settle=0.5"});
    test::writeTextFile(staging / "broken.tif", std::string("II*\0", 4) + "not the rest");
    fs::rename(staging / "broken.tif", in / "broken.tif");
    ASSERT_TRUE(waitFor([&] { return reportedCounts(standardOutput()).second == 1; }));
    moveIn("good.tif");
    ASSERT_TRUE(waitFor([&] { return converted("good.tif"); }));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(reportedCounts(result.standardOutput), std::make_pair(1, 1));
    EXPECT_EQ(occurrences(result.standardOutput, "broken.tif"), 1) << result.standardOutput;
}

TEST_F(Watch, FinishesTheFileInHandOnSigtermLeavingWholeOutputsOnly) {
    test::TestPage page = test::rgbPage(1000, 1000, COMPRESSION_NONE);
    page.rowsPerStrip = 16;
    test::writeTiff(staging / "big.tif", std::vector<test::TestPage>(12, page));
    auto running = start();
    fs::rename(staging / "big.tif", in / "big.tif");
    ASSERT_TRUE(waitFor([&] { return fs::exists(out) && holdsPartial(out); }));
    const test::ProgramResult result = stop(running);

    EXPECT_EQ(result.exitCode, 0) << result.standardError;
    EXPECT_FALSE(holdsPartial(out));
    EXPECT_EQ(test::countPages(out / "big.tif"), 12);
    EXPECT_EQ(reportedCounts(log()), std::make_pair(1, 0));
}

#endif

} // namespace
} // namespace pagesmith
