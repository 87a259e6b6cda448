#include "support/MeasuredChild.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#ifdef _WIN32
#include "platform/Utf8Paths.h"
#include "support/TempDir.h"
#include "support/WindowsProcess.h"

#include <psapi.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pagesmith::test {

#ifdef _WIN32

namespace {
constexpr const char* kOutcomeVariable = "PAGESMITH_TEST_OUTCOME";
}

long peakKilobytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
}

bool runMeasuredChild(std::span<std::byte> outcome,
                      const std::function<void(std::span<std::byte>)>&,
                      const std::string& childTest,
                      const std::map<std::string, std::string>& environment) {
    TempDir dir;
    const std::string outcomeFile = dir.file("outcome");
    auto withOutcome = environment;
    withOutcome[kOutcomeVariable] = outcomeFile;
    const int exitCode = runTestInChild(childTest, withOutcome);
    EXPECT_EQ(exitCode, 0) << childTest;
    std::ifstream in(platform::pathFromUtf8(outcomeFile), std::ios::binary);
    in.read(reinterpret_cast<char*>(outcome.data()), std::streamsize(outcome.size()));
    const bool whole = in.gcount() == std::streamsize(outcome.size());
    EXPECT_TRUE(whole) << childTest << " sent no outcome";
    return exitCode == 0 && whole;
}

void sendToParent(std::span<const std::byte> outcome) {
    const char* file = std::getenv(kOutcomeVariable);
    ASSERT_NE(file, nullptr) << "runs only as a child of another test";
    std::ofstream(platform::pathFromUtf8(file), std::ios::binary)
        .write(reinterpret_cast<const char*>(outcome.data()), std::streamsize(outcome.size()));
}

#else

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

bool runMeasuredChild(std::span<std::byte> outcome,
                      const std::function<void(std::span<std::byte>)>& work,
                      const std::string&, const std::map<std::string, std::string>&) {
    int channel[2];
    if (pipe(channel) != 0) {
        ADD_FAILURE() << "no pipe for the child";
        return false;
    }
    const pid_t child = fork();
    if (child < 0) {
        ADD_FAILURE() << "no child process";
        close(channel[0]);
        close(channel[1]);
        return false;
    }
    if (child == 0) {
        close(channel[0]);
        work(outcome);
        const ssize_t written = write(channel[1], outcome.data(), outcome.size());
        _exit(written == ssize_t(outcome.size()) ? 0 : 1);
    }
    close(channel[1]);
    const bool whole = read(channel[0], outcome.data(), outcome.size()) == ssize_t(outcome.size());
    close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    const bool ended = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    EXPECT_TRUE(whole && ended) << "the child ended with status " << status;
    return whole && ended;
}

void sendToParent(std::span<const std::byte>) {}

#endif

} // namespace pagesmith::test
