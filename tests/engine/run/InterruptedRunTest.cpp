#include "engine/run/ConvertFiles.h"
#include "platform/Utf8Paths.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <thread>

#ifdef _WIN32
#include "support/WindowsProcess.h"
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pagesmith {
namespace {

// The size of the temporary output in the folder, once there is one.
std::uintmax_t partialOutputBytes(const std::filesystem::path& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (platform::utf8FromPath(entry.path().filename()).starts_with("out.tif.partial-"))
            return entry.file_size();
    return 0;
}

// The conversion the test below kills, in a process of its own: the input
// and the output base come in the environment.
void convertForKilling(const std::string& input, const std::string& outputBase) {
    ConversionOptions options;
    options.compressionMode = CompressionMode::Lzw;
    test::ReportRecorder report;
    convertFiles(1, {input}, outputBase, options, report);
}

#ifdef _WIN32
// Runs only as the child of AKilledConversionLeavesTheOlderOutputIntact.
TEST(InterruptedRunChild, DISABLED_ConvertsUntilKilled) {
    convertForKilling(std::getenv("PAGESMITH_TEST_INPUT"), std::getenv("PAGESMITH_TEST_OUTPUT"));
}
#endif

// A conversion killed half-way leaves the older output of its name as it was
// and nothing under that name but it; its unfinished file is named as such.
TEST(InterruptedRun, AKilledConversionLeavesTheOlderOutputIntact) {
    test::TempDir dir;
    const std::string input = dir.file("large.tif");
    test::TestPage page = test::rgbPage(1024, 1024, COMPRESSION_NONE);
    page.rowsPerStrip = 16;
    test::writeTiff(input, std::vector<test::TestPage>(32, page));
    const std::string older = dir.file("out.tif");
    test::writeTiff(older, test::faxPage());
    const std::string olderBytes = test::readTextFile(older);

    // Killed once it has written a good part of the output.
    const auto waitForOutput = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (partialOutputBytes(dir.path()) < (1u << 20) &&
               std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
#ifdef _WIN32
    // TerminateProcess ends it as SIGKILL does, with no chance to tidy up.
    constexpr unsigned kKilled = 9;
    test::WindowsProcess child(
        test::testInChild("InterruptedRunChild.DISABLED_ConvertsUntilKilled"),
        {{"PAGESMITH_TEST_INPUT", input}, {"PAGESMITH_TEST_OUTPUT", dir.file("out")}}, {});
    ASSERT_TRUE(child.started());
    waitForOutput();
    const bool killed = child.running();
    child.terminate(kKilled);
    ASSERT_TRUE(killed) << "the conversion ended before it could be killed";
#else
    const pid_t child = fork();
    if (child == 0) {
        convertForKilling(input, dir.file("out"));
        _exit(0);
    }
    waitForOutput();
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the conversion ended before it could be killed";
#endif

    EXPECT_EQ(test::readTextFile(older), olderBytes);
    EXPECT_GT(partialOutputBytes(dir.path()), 0u);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        const std::string name = platform::utf8FromPath(entry.path().filename());
        EXPECT_TRUE(name == "large.tif" || name == "out.tif" ||
                    name.starts_with("out.tif.partial-"))
            << name;
    }
}

// A disk that fills before the page is done: the run ends, the output cannot
// be used, and the older output of that name is left as it was.
TEST(InterruptedRun, AFullDiskLeavesTheOlderOutputIntact) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no limit on the size of the files one process writes "
                    "(RLIMIT_FSIZE) to stand in for a full disk";
#else
    test::TempDir dir;
    const std::string input = dir.file("large.tif");
    test::writeTiff(input, test::rgbPage(512, 512, COMPRESSION_NONE));
    const std::string older = dir.file("out.tif");
    test::writeTiff(older, test::faxPage());
    const std::string olderBytes = test::readTextFile(older);

    const pid_t child = fork();
    if (child == 0) {
        // Files the child writes cannot grow past 64 KB, as on a full disk.
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 << 10, 64 << 10};
        setrlimit(RLIMIT_FSIZE, &limit);
        ConversionOptions options;
        options.compressionMode = CompressionMode::Uncompressed;
        test::ReportRecorder report;
        const ConvertResult result = convertFiles(1, {input}, dir.file("out"), options, report);
        _exit(result == ConvertResult::OutputUnusable ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(test::readTextFile(older), olderBytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2); // the input and the older output, nothing half-written
#endif
}

#ifdef _WIN32

// Both need a limit on the size of the files one process writes.
TEST(InterruptedRun, ADirectoryThatCannotBeWrittenLeavesTheOlderOutput) {
    GTEST_SKIP() << "Windows has no per-process file size limit (RLIMIT_FSIZE) to stop a write";
}

TEST(InterruptedRun, AMergeWhoseOutputCannotTakeMoreNamesTheInputsLeft) {
    GTEST_SKIP() << "Windows has no per-process file size limit (RLIMIT_FSIZE) to stop a write";
}

#else

// Runs `work` in a child process whose files cannot grow past `limit` bytes;
// whether it exited with 0.
bool withFileSizeLimit(rlim_t limit, const std::function<bool()>& work) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit cap{limit, limit};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(work() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The pixels fit, the directory does not: the page is not written, and the
// older output of that name stays as it was.
TEST(InterruptedRun, ADirectoryThatCannotBeWrittenLeavesTheOlderOutput) {
    test::TempDir dir;
    const std::string input = dir.file("page.tif");
    test::TestPage page;
    page.width = 100;
    page.length = 100;
    test::writeTiff(input, page);
    const std::string older = dir.file("out.tif");
    test::writeTiff(older, test::faxPage());
    const std::string olderBytes = test::readTextFile(older);

    // The header and the page's one strip, and four bytes more.
    EXPECT_TRUE(withFileSizeLimit(8 + 100 * 100 + 4, [&] {
        ConversionOptions options;
        options.compressionMode = CompressionMode::Uncompressed;
        test::ReportRecorder report;
        return convertFiles(1, {input}, dir.file("out"), options, report) ==
                   ConvertResult::OutputUnusable &&
               report.lines.ends_with("  -- Failed: cannot write " + older +
                                      "\r\n  -- Page 0 failed\r\n");
    }));
    EXPECT_EQ(test::readTextFile(older), olderBytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              2);
}

// A merge whose output cannot take more ends there, and names each input
// it never reached.
TEST(InterruptedRun, AMergeWhoseOutputCannotTakeMoreNamesTheInputsLeft) {
    test::TempDir dir;
    test::TestPage page;
    page.width = 100;
    page.length = 100;
    const std::vector<std::string> inputs = {dir.file("a.tif"), dir.file("b.tif"),
                                             dir.file("c.tif")};
    for (const std::string& input : inputs)
        test::writeTiff(input, page);
    const std::string out = dir.file("all.tif");

    EXPECT_TRUE(withFileSizeLimit(8 + 100 * 100 + 4, [&] {
        ConversionOptions options;
        options.compressionMode = CompressionMode::Uncompressed;
        test::ReportRecorder report;
        return convertFiles(3, inputs, dir.file("all"), options, report) ==
                   ConvertResult::OutputUnusable &&
               report.lines == "Merge:   " + inputs[0] + " -> " + out +
                                   "\r\n  -- Failed: cannot write " + out +
                                   "\r\n  -- Page 0 failed\r\n"
                                   "  -- Failed: " +
                                   inputs[1] + " not merged: " + out +
                                   " cannot be written\r\n"
                                   "  -- Failed: " +
                                   inputs[2] + " not merged: " + out + " cannot be written\r\n" &&
               report.failures == 3;
    }));
    EXPECT_FALSE(std::filesystem::exists(out));
}

#endif

} // namespace
} // namespace pagesmith
