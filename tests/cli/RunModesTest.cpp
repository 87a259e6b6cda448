#include "base/Paths.h"
#include "cli/ProgramRunner.h"
#include "platform/Utf8Paths.h"
#include "support/FolderText.h"
#include "support/RegistrySetting.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <set>

namespace pagesmith {
namespace {

using test::ErrorStream;
using test::maskTimeStamps;
using test::readTextFile;
using test::runProgram;
using test::TempDir;

const std::string kSeparator = "--------------------------------------------------\n";

class RunModes : public ::testing::Test {
protected:
    test::ProgramResult run(const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment = {},
                            ErrorStream errorStream = ErrorStream::Pipe) {
        return runProgram(program, arguments, home.path(), environment, errorStream);
    }
    std::string log() const { return maskTimeStamps(readTextFile(logPath)); }
    // A copy of the program in home/bin, a folder of its own where its default
    // log lands.
    std::filesystem::path programCopy() const {
        const auto copy = home.path() / "bin" / test::programFileName();
        std::filesystem::create_directory(home.path() / "bin");
        std::filesystem::copy_file(program, copy);
        return copy;
    }

    TempDir home;
    std::filesystem::path program = test::builtProgram();
    std::string logPath = home.file("run.log");
};

TEST_F(RunModes, AnyCommandLineRunsOneBatchAndLogsIt) {
    const auto result = run({"hello", "/log=" + logPath});
    EXPECT_EQ(result.exitCode, 0);
    const std::string report = "\nCMD : " + test::reportedProgramPath(program) +
                               " hello /log=" + logPath +
                               "\nFUC: Count tiff file pages in folder \n";
    EXPECT_EQ(log(), "<time>" + report + kSeparator);
    // Without a display the results box goes to standard output.
    EXPECT_EQ(result.standardOutput, "Please Wait...\n" + report);
    EXPECT_EQ(result.standardError, "");
}

TEST_F(RunModes, AFolderWithBlanksArrivesWhole) {
    const auto folder = home.path() / "my scans";
    std::filesystem::create_directory(folder);
    test::writeTiff(folder / "page.tif", {test::TestPage{}, test::TestPage{}});
    run({"/q", "/d=" + platform::utf8FromPath(folder), "/log=" + logPath});
    const std::string file =
        joinPath(test::asReadFromOption(platform::utf8FromPath(folder)), "page.tif");
    EXPECT_NE(log().find(" (2) page(s) in tiff-file: " + file + "\n"), std::string::npos) << log();
}

TEST_F(RunModes, WithoutArgumentsTheWindowNeedsADisplay) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows always has a display: the window would open";
#endif
    const auto result = run({});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError, "Pagesmith: cannot open the main window: no display\n");
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(run({""}).exitCode, 1); // one empty argument: the window as well
}

// "--window" first asks for the window, whatever follows; anywhere else it is
// an unknown word of a batch.
TEST_F(RunModes, WindowOptionFirstOpensTheWindowAndRunsNoBatch) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows always has a display: the window would open";
#endif
    const auto window = run({"--window", "/d=" + home.str(), "/log=" + logPath});
    EXPECT_EQ(window.exitCode, 1);
    EXPECT_EQ(window.standardError, "Pagesmith: cannot open the main window: no display\n");
    EXPECT_FALSE(std::filesystem::exists(logPath));

    const auto batch = run({"/q", "--window", "/log=" + logPath});
    EXPECT_EQ(batch.exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(logPath));
}

TEST_F(RunModes, ASaveFolderProblemIsReportedAndOpensTheWindow) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows always has a display: the window would open";
#endif
    const auto result = run({"/d=" + home.str(), "/sd=" + home.str(), "/log=" + logPath});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError,
              "ERROR Save Folder: Please set save-dir with '/sd=', and be sure it is not the same "
              "as source-dir\nPagesmith: cannot open the main window: no display\n");
    EXPECT_FALSE(std::filesystem::exists(logPath));
}

// A window on a platform nobody sees would wait for ever for its first
// click: the program says so and ends instead.
TEST_F(RunModes, OnAnOffscreenPlatformNoWindowOpens) {
#ifdef _WIN32
    GTEST_SKIP() << "the platform comes through QT_QPA_PLATFORM, which Wine does not pass on";
#else
    const std::string refusal = "Pagesmith: cannot open the main window: no one can see it "
                                "(QT_QPA_PLATFORM is offscreen or minimal)\n";
    for (const char* platform : {"offscreen", "minimal"}) {
        SCOPED_TRACE(platform);
        test::RunningProgram refused(program, {"/d=" + home.str(), "/sd=" + home.str()},
                                     home.path(), {{"QT_QPA_PLATFORM", platform}});
        const auto result = refused.wait(std::chrono::seconds(30));
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.standardError,
                  "ERROR Save Folder: Please set save-dir with '/sd=', and be sure it is not the "
                  "same as source-dir\n" +
                      refusal);
        test::RunningProgram bare(program, {}, home.path(), {{"QT_QPA_PLATFORM", platform}});
        EXPECT_EQ(bare.wait(std::chrono::seconds(30)).exitCode, 1);
    }
#endif
}

TEST_F(RunModes, TheStoredLogPathIsUsedAndLogOptionLastsOneRun) {
    const std::string stored = home.file("stored.log");
#ifdef _WIN32
    const test::RegistryLogSetting registry;
    registry.write(stored);
    run({"/q"});
    EXPECT_TRUE(std::filesystem::exists(stored));
    run({"/q", "/log=" + logPath});
    EXPECT_TRUE(std::filesystem::exists(logPath));
    const auto kept = registry.read();
    ASSERT_TRUE(kept.has_value());
    EXPECT_EQ(kept->text, stored);
#else
    std::filesystem::create_directories(home.path() / "config" / "Tolvane");
    test::writeTextFile(home.path() / "config" / "Tolvane" / "Pagesmith.conf",
                        "[Udt]\npgslog=" + stored + "\n");
    run({"/q"});
    EXPECT_TRUE(std::filesystem::exists(stored));
    run({"/q", "/log=" + logPath});
    EXPECT_TRUE(std::filesystem::exists(logPath));
    EXPECT_EQ(readTextFile(home.path() / "config" / "Tolvane" / "Pagesmith.conf"),
              "[Udt]\npgslog=" + stored + "\n");
#endif
}

TEST_F(RunModes, DefaultLogLivesBesideTheProgram) {
#ifdef _WIN32
    const test::RegistryLogSetting noStoredLog;
#endif
    const auto copy = programCopy();
    const auto result = runProgram(copy, {"/q"}, home.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(maskTimeStamps(readTextFile(home.path() / "bin" / "log" / "pagesmithlog.txt")),
              "<time>\nCMD : " + test::reportedProgramPath(copy) +
                  " /q\nFUC: Count tiff file pages in folder \n" + kSeparator);
}

TEST_F(RunModes, TheScratchFolderIsRemovedAtExit) {
    run({"/q", "/log=" + logPath});
    for (const auto& entry : std::filesystem::directory_iterator(home.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("pagesmith-", 0), std::string::npos)
            << entry.path();
}

// What a terminal line shows at the end: each carriage return starts over at
// its first column, and what is written there overwrites what was.
std::string visibleAtTheEnd(const std::string& written) {
    std::string line;
    std::size_t column = 0;
    for (char c : written) {
        if (c == '\r') {
            column = 0;
            continue;
        }
        if (column == line.size())
            line += c;
        else
            line[column] = c;
        ++column;
    }
    return line.substr(0, line.find_last_not_of(' ') + 1);
}

std::set<std::string> namesIn(const std::filesystem::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST_F(RunModes, HelpAndVersionAnswerAloneAndLeaveNothingBehind) {
    const auto copy = programCopy();

    const auto usage = runProgram(copy, {"--help"}, home.path());
    EXPECT_EQ(usage.exitCode, 0);
    EXPECT_EQ(usage.standardError, "");
    EXPECT_EQ(usage.standardOutput.rfind("Usage: pagesmith [OPTION]...\n", 0), 0u)
        << usage.standardOutput;
    for (const char* same : {"-h", "/?"})
        EXPECT_EQ(runProgram(copy, {same}, home.path()).standardOutput, usage.standardOutput);

    const auto version = runProgram(copy, {"--version"}, home.path());
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.standardOutput, "Pagesmith " PAGESMITH_VERSION "\n");

    // No run log, no settings, no scratch folder: only the runner's capture.
    EXPECT_EQ(namesIn(home.path()), (std::set<std::string>{"bin", "stdout.txt"}));
    EXPECT_EQ(namesIn(home.path() / "bin"), std::set<std::string>{test::programFileName()});

    // Among other arguments they are unknown words of an ordinary batch.
    const auto batch = run({"--help", "/q", "/log=" + logPath});
    EXPECT_EQ(batch.exitCode, 0);
    EXPECT_EQ(batch.standardOutput, "Please Wait...\n");
    EXPECT_TRUE(std::filesystem::exists(logPath));
}

TEST_F(RunModes, UsageTextAndManualPageNameEveryOptionAndExitStatus) {
    // roff writes a minus as "\-".
    std::string manual = readTextFile(PAGESMITH_MANUAL_PAGE);
    for (std::size_t at = manual.find("\\-"); at != std::string::npos; at = manual.find("\\-", at))
        manual.erase(at, 1);
    const std::string usage = run({"--help"}).standardOutput;
    for (const char* option :
         {"/q",       "/k",     "/sl", "/sc=",  "/c=",       "/d=",     "/sd=",
          "/f=",      "/sf=",   "/m=", "/log=", "/np",       "/tnp",    "/watch",
          "/settle=", "--help", "-h",  "/?",    "--version", "--window"}) {
        EXPECT_NE(usage.find(option), std::string::npos) << option;
        EXPECT_NE(manual.find(option), std::string::npos) << option;
    }
    for (const char* status : {"0", "1", "2", "3"}) {
        EXPECT_NE(usage.find(std::string("\n  ") + status + "  "), std::string::npos) << status;
        EXPECT_NE(manual.find(std::string(".B ") + status + "\n"), std::string::npos) << status;
    }
}

TEST_F(RunModes, AProgressLineOnATerminalIsErasedAndChangesNothingElse) {
#ifdef _WIN32
    GTEST_SKIP() << "the runner starts the Windows program with its streams redirected and no "
                    "console; a pseudo console (ConPTY) to stand in for a terminal is not set up";
#endif
    const auto folder = home.path() / "in";
    std::filesystem::create_directory(folder);
    for (const char* name : {"a.tif", "b.tif", "c.tif"})
        test::writeTiff(folder / name, test::faxPage());
    const std::vector<std::string> arguments = {"/d=" + folder.string(), "/np", "/q",
                                                "/log=" + logPath};

    const auto onTerminal = run(arguments, {}, ErrorStream::Terminal);
    const auto onPipe = run(arguments);
    EXPECT_EQ(onPipe.standardError, "");
    for (const char* shown : {"0/3 files | ", "a.tif", "1/3 files | ", "b.tif", "2/3 files | ",
                              "c.tif", " elapsed | ", " left | "})
        EXPECT_NE(onTerminal.standardError.find(shown), std::string::npos)
            << shown << " in " << onTerminal.standardError;
    EXPECT_EQ(onTerminal.standardError.find('\n'), std::string::npos);
    EXPECT_EQ(visibleAtTheEnd(onTerminal.standardError), "");

    // The same report, log entry and exit status either way.
    EXPECT_EQ(onTerminal.exitCode, 0);
    EXPECT_EQ(onTerminal.standardOutput, onPipe.standardOutput);
    const std::string entries = log();
    EXPECT_EQ(entries.substr(0, entries.size() / 2), entries.substr(entries.size() / 2));

    // One file: nothing to follow.
    EXPECT_EQ(run({"/f=" + (folder / "a.tif").string(), "/np", "/q", "/log=" + logPath}, {},
                  ErrorStream::Terminal)
                  .standardError,
              "");
}

} // namespace
} // namespace pagesmith

namespace pagesmith {
namespace {

// A folder converted by one thread and by several: the same report, the same
// log entry and the same output files, byte for byte. The folder holds pages
// large enough to be decoded ahead on other threads (many strips, rows of
// tiles, a colour page bound for fax), small faxes that keep a pool busy, and
// a file that is no TIFF at all.
TEST(ThreadCount, ConvertsAFolderAlikeOnOneThreadAndOnSeveral) {
    TempDir home;
    const std::filesystem::path program = test::builtProgram();
    std::filesystem::create_directories(home.path() / "in");
    test::TestPage longFax = test::faxPage(1728, 1200);
    longFax.rowsPerStrip = 128;
    test::writeTiff(home.file("in/document.tif"), {longFax, longFax, longFax});
    test::TestPage tiles = test::rgbPage(700, 650, COMPRESSION_LZW);
    tiles.tiled = true;
    tiles.tileWidth = tiles.tileLength = 64;
    test::writeTiff(home.file("in/tiles.tif"), tiles);
    test::TestPage colour = test::rgbPage(640, 480, COMPRESSION_LZW);
    colour.rowsPerStrip = 8;
    test::writeTiff(home.file("in/colour.tif"), colour);
    for (int i = 0; i < 6; ++i)
        test::writeTiff(home.file("in/fax" + std::to_string(i) + ".tif"),
                        test::faxPage(64, 30 + i));
    test::writeTextFile(home.file("in/notes.tif"), "not a tiff at all");

    for (const char* mode : {"/sc=g4", "/sc=lzw"}) {
        SCOPED_TRACE(mode);
        std::vector<std::string> runs;
        std::map<std::string, std::string> outputs[2];
        for (int run = 0; run < 2; ++run) {
            std::filesystem::remove_all(home.path() / "out");
            std::filesystem::remove(home.path() / "run.log");
            const auto result =
                runProgram(program,
                           {"/d=" + home.file("in"), "/sd=" + home.file("out"), mode,
                            "/log=" + home.file("run.log")},
                           home.path(), {{"PAGESMITH_THREADS", run == 0 ? "1" : "3"}});
            runs.push_back(std::to_string(result.exitCode) + "\n" + result.standardOutput +
                           maskTimeStamps(readTextFile(home.file("run.log"))));
            for (const auto& entry : std::filesystem::directory_iterator(home.path() / "out"))
                outputs[run][entry.path().filename().string()] = readTextFile(entry.path());
        }
        EXPECT_EQ(runs[1], runs[0]);
        EXPECT_EQ(outputs[0].size(), 9u);
        EXPECT_TRUE(outputs[1] == outputs[0]) << "the output files differ";
    }
}

} // namespace
} // namespace pagesmith
