#include "cli/ProgramRunner.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

using test::maskTimeStamps;
using test::readTextFile;
using test::runProgram;
using test::TempDir;

const std::string kSeparator = "--------------------------------------------------\n";

class RunModes : public ::testing::Test {
protected:
    test::ProgramResult run(const std::vector<std::string>& arguments,
                            const std::map<std::string, std::string>& environment = {}) {
        return runProgram(program, arguments, home.path(), environment);
    }
    std::string log() const { return maskTimeStamps(readTextFile(logPath)); }

    TempDir home;
    std::filesystem::path program = test::builtProgram();
    std::string logPath = home.file("run.log");
};

TEST_F(RunModes, AnyCommandLineRunsOneBatchAndLogsIt) {
    const auto result = run({"hello", "/log=" + logPath});
    EXPECT_EQ(result.exitCode, 0);
    const std::string report = "\nCMD : " + program.string() + " hello /log=" + logPath +
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
    run({"/q", "/d=" + folder.string(), "/log=" + logPath});
    EXPECT_NE(log().find(" (2) page(s) in tiff-file: " + (folder / "page.tif").string() + "\n"),
              std::string::npos)
        << log();
}

TEST_F(RunModes, WithoutArgumentsTheWindowNeedsADisplay) {
    const auto result = run({});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError, "Pagesmith: cannot open the main window: no display\n");
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(run({""}).exitCode, 1); // one empty argument: the window as well
}

TEST_F(RunModes, ASaveFolderProblemIsReportedAndOpensTheWindow) {
    const auto result = run({"/d=" + home.str(), "/sd=" + home.str(), "/log=" + logPath});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.standardError,
              "ERROR Save Folder: Please set save-dir with '/sd=', and be sure it is not the same "
              "as source-dir\nPagesmith: cannot open the main window: no display\n");
    EXPECT_FALSE(std::filesystem::exists(logPath));
}

TEST_F(RunModes, TheStoredLogPathIsUsedAndLogOptionLastsOneRun) {
    const std::string stored = home.file("stored.log");
    std::filesystem::create_directories(home.path() / "config" / "Tolvane");
    test::writeTextFile(home.path() / "config" / "Tolvane" / "Pagesmith.conf",
                        "[Udt]\npgslog=" + stored + "\n");
    run({"/q"});
    EXPECT_TRUE(std::filesystem::exists(stored));
    run({"/q", "/log=" + logPath});
    EXPECT_TRUE(std::filesystem::exists(logPath));
    EXPECT_EQ(readTextFile(home.path() / "config" / "Tolvane" / "Pagesmith.conf"),
              "[Udt]\npgslog=" + stored + "\n");
}

TEST_F(RunModes, DefaultLogLivesBesideTheProgram) {
    // A copy of the program in a folder of its own, so its log lands there.
    const auto copy = home.path() / "bin" / "pagesmith";
    std::filesystem::create_directory(home.path() / "bin");
    std::filesystem::copy_file(program, copy);
    const auto result = runProgram(copy, {"/q"}, home.path());
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(maskTimeStamps(readTextFile(home.path() / "bin" / "log" / "pagesmithlog.txt")),
              "<time>\nCMD : " + copy.string() + " /q\nFUC: Count tiff file pages in folder \n" +
                  kSeparator);
}

TEST_F(RunModes, TheScratchFolderIsRemovedAtExit) {
    run({"/q", "/log=" + logPath});
    for (const auto& entry : std::filesystem::directory_iterator(home.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("pagesmith-", 0), std::string::npos)
            << entry.path();
}

} // namespace
} // namespace pagesmith
