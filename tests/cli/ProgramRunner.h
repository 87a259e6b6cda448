#pragma once

#include <chrono>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

namespace pagesmith::test {

struct ProgramResult {
    int exitCode = -1; // -1 when a signal ended the program, or it had to be killed
    int signal = 0;    // the signal that ended it
    std::string standardOutput;
    std::string standardError;
};

// What the program's standard error is: a pipe, as in a script, or an
// 80-column pseudo-terminal, as for a user at a shell (Linux only).
enum class ErrorStream { Pipe, Terminal };

// Runs the built program with these arguments: on Linux in a clean
// environment with no display (message boxes go to the standard streams),
// settings and user data under `home`; on Windows in this process's
// environment, its standard streams sent elsewhere as from a console (so
// messages come as text there too), with `home` as its temporary folder.
// The extra variables given are added. Standard output goes to a file,
// standard error to `errorStream`.
ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& home,
                         const std::map<std::string, std::string>& environment = {},
                         ErrorStream errorStream = ErrorStream::Pipe);

#ifndef _WIN32
// The same, started and left running while the test goes on (to signal it).
class RunningProgram {
public:
    RunningProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                   const std::filesystem::path& home,
                   const std::map<std::string, std::string>& environment = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    void signal(int number) const;
    // Waits for the end; a program still running after `limit` is killed.
    ProgramResult wait(std::chrono::seconds limit = std::chrono::seconds(60));

private:
    pid_t m_child = -1;
    int m_reader = -1;
    std::filesystem::path m_outPath;
};
#endif

// The program under test.
std::filesystem::path builtProgram();

// The program file's name: "pagesmith", or "pagesmith.exe" on Windows.
std::string programFileName();

// A path as the program names itself in its command header (on Windows with
// the system's separators).
std::string reportedProgramPath(const std::filesystem::path& program);

// A run-log text with every time stamp replaced by "<time>".
std::string maskTimeStamps(const std::string& log);

} // namespace pagesmith::test
