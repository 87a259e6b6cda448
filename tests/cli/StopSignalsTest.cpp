#include "cli/ProgramRunner.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <csignal>
#include <thread>

namespace pagesmith {
namespace {

#ifdef _WIN32

// Ctrl+C reaches only the processes of the sender's own console, and Windows
// has no signals to send another process.
TEST(StopSignal, EndsTheRunAndLeavesNothingHalfWritten) {
    GTEST_SKIP() << "no stop signal can be sent to another process on Windows";
}

TEST(StopSignal, ASecondSignalEndsTheProgramAtOnce) {
    GTEST_SKIP() << "no stop signal can be sent to another process on Windows";
}

#else

// A signal that asks the program to end, and the exit status it ends with.
struct StopCase {
    const char* name;
    int signal;
    int exitStatus;
};

void PrintTo(const StopCase& stop, std::ostream* out) {
    *out << stop.name;
}

// A conversion long enough to be signalled in the middle of its file.
class StopSignal : public ::testing::TestWithParam<StopCase> {
protected:
    void SetUp() override {
        std::filesystem::create_directories(in);
        std::filesystem::create_directories(out);
        test::TestPage page = test::rgbPage(1000, 1000, COMPRESSION_NONE);
        page.rowsPerStrip = 16;
        test::writeTiff(in / "big.tif", std::vector<test::TestPage>(20, page));
        test::writeTiff(out / "biglzw.tif", test::faxPage());
        olderOutput = test::readTextFile(out / "biglzw.tif");
    }

    // Starts the conversion and waits until its output is being written.
    std::unique_ptr<test::RunningProgram> startConverting() {
        auto running = std::make_unique<test::RunningProgram>(
            test::builtProgram(),
            std::vector<std::string>{"/d=" + in.string(), "/sd=" + out.string(), "/sc=lzw", "/q",
                                     "/log=" + logPath},
            home.path(), std::map<std::string, std::string>{{"PAGESMITH_THREADS", "1"}});
        for (int wait = 0; wait < 3000 && !partialFileThere(); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(partialFileThere()) << "the conversion never began its output";
        return running;
    }

    bool partialFileThere() const {
        for (const auto& entry : std::filesystem::directory_iterator(out))
            if (entry.path().filename().string().find(".partial-") != std::string::npos)
                return true;
        return false;
    }

    test::TempDir home;
    std::filesystem::path in = home.path() / "in";
    std::filesystem::path out = home.path() / "out";
    std::string logPath = home.file("run.log");
    std::string olderOutput;
};

TEST_P(StopSignal, EndsTheRunAndLeavesNothingHalfWritten) {
    const StopCase& stop = GetParam();
    auto running = startConverting();
    running->signal(stop.signal);
    const test::ProgramResult result = running->wait();

    EXPECT_EQ(result.exitCode, stop.exitStatus);
    // The older output as it was, nothing else in the save folder.
    EXPECT_EQ(test::readTextFile(out / "biglzw.tif"), olderOutput);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out),
                            std::filesystem::directory_iterator()),
              1);
    // The scratch folder (under TMPDIR, the home here) is gone.
    for (const auto& entry : std::filesystem::directory_iterator(home.path()))
        EXPECT_EQ(entry.path().filename().string().rfind("pagesmith-", 0), std::string::npos)
            << entry.path();
    const std::string log = test::readTextFile(logPath);
    // The signal may come before the input is open or within a page.
    const std::string output = (out / "biglzw.tif").string();
    EXPECT_NE(log.find("\n  -- Stopped: " + output +
                       " not written\r\n"
                       "Stopped: 0 of 1 selected file(s) done\n"
                       " (0) tiff file(s) converted\n (1) tiff file(s) failed\n"),
              std::string::npos)
        << log;
}

INSTANTIATE_TEST_SUITE_P(Table, StopSignal,
                         ::testing::Values(StopCase{"Terminate", SIGTERM, 143},
                                           StopCase{"Interrupt", SIGINT, 130},
                                           StopCase{"HangUp", SIGHUP, 129}),
                         [](const ::testing::TestParamInfo<StopCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(StopSignal, ASecondSignalEndsTheProgramAtOnce) {
    auto running = startConverting();
    running->signal(SIGINT);
    running->signal(SIGTERM);
    const test::ProgramResult result = running->wait();
    EXPECT_EQ(result.exitCode, -1);
    EXPECT_TRUE(result.signal == SIGINT || result.signal == SIGTERM) << result.signal;
}

#endif

} // namespace
} // namespace pagesmith
