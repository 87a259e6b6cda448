#pragma once

// Child processes for the tests of the Windows build, which has no fork: a
// program started with CreateProcessW, and the test program started again to
// run one test of its own as the child.
#ifdef _WIN32

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace pagesmith::test {

class WindowsProcess {
public:
    // Where the child's standard streams go: handles the child may inherit,
    // or none for the NUL device. Standard input is always NUL.
    struct Streams {
        HANDLE output = nullptr;
        HANDLE error = nullptr;
    };

    // Starts arguments[0] with the rest as its arguments, in this process's
    // environment with `environment` added or replaced.
    WindowsProcess(const std::vector<std::string>& arguments,
                   const std::map<std::string, std::string>& environment, Streams streams);
    ~WindowsProcess();
    WindowsProcess(const WindowsProcess&) = delete;
    WindowsProcess& operator=(const WindowsProcess&) = delete;

    bool started() const { return m_process != nullptr; }
    bool running() const;
    // Waits for the end; its exit code, or -1 when it was never started.
    int wait();
    // Ends it at once, as SIGKILL does; the exit code becomes `code`.
    void terminate(unsigned code);

private:
    HANDLE m_process = nullptr;
};

// The command line CreateProcessW takes for these arguments, quoted so that
// CommandLineToArgvW gives them back.
std::wstring commandLineOf(const std::vector<std::string>& arguments);

// The arguments that start the running test program again to run its one
// test `testName` (disabled tests too: those that only a parent starts).
std::vector<std::string> testInChild(const std::string& testName);

// Runs that test in a child process with `environment` added; its exit code
// (0: the test passed).
int runTestInChild(const std::string& testName,
                   const std::map<std::string, std::string>& environment);

// A pipe whose writing end the child may inherit.
struct InheritablePipe {
    InheritablePipe();
    ~InheritablePipe();
    void closeReader();
    void closeWriter();
    HANDLE reader = nullptr;
    HANDLE writer = nullptr;
};

} // namespace pagesmith::test

#endif
