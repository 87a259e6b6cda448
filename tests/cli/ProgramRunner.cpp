#include "cli/ProgramRunner.h"

#include "platform/Utf8Paths.h"
#include "support/TempDir.h"

#include <regex>

#ifdef _WIN32
#include "support/WindowsProcess.h"

#include <gtest/gtest.h>
#else
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#endif

namespace pagesmith::test {

std::filesystem::path builtProgram() {
    return PAGESMITH_BINARY;
}

std::string maskTimeStamps(const std::string& log) {
    static const std::regex stamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");
    return std::regex_replace(log, stamp, "<time>");
}

#ifdef _WIN32

std::string programFileName() {
    return "pagesmith.exe";
}

std::string reportedProgramPath(const std::filesystem::path& program) {
    return platform::utf8FromPath(std::filesystem::path(program).make_preferred());
}

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& home,
                         const std::map<std::string, std::string>& environment,
                         ErrorStream errorStream) {
    ProgramResult result;
    if (errorStream == ErrorStream::Terminal) {
        ADD_FAILURE() << "no terminal for the program on Windows";
        return result;
    }
    const std::filesystem::path outPath = home / "stdout.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE output = CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    InheritablePipe error;
    std::map<std::string, std::string> variables = {{"TMP", platform::utf8FromPath(home)},
                                                    {"TEMP", platform::utf8FromPath(home)}};
    for (const auto& [name, value] : environment)
        variables[name] = value;
    std::vector<std::string> commandLine = {platform::utf8FromPath(program)};
    commandLine.insert(commandLine.end(), arguments.begin(), arguments.end());
    {
        WindowsProcess child(commandLine, variables, {output, error.writer});
        CloseHandle(output);
        error.closeWriter(); // the child holds the only one: its end is the pipe's end
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(error.reader, buffer, sizeof buffer, &got, nullptr) && got > 0)
            result.standardError.append(buffer, got);
        result.exitCode = child.wait();
    }
    result.standardOutput = readTextFile(outPath);
    return result;
}

#else

std::string programFileName() {
    return "pagesmith";
}

std::string reportedProgramPath(const std::filesystem::path& program) {
    return program.string();
}

namespace {

// Starts the child with its standard error on a new pipe or pseudo-terminal;
// `reader` gets the parent's end.
pid_t forkWithErrorStream(ErrorStream errorStream, int& reader) {
    if (errorStream == ErrorStream::Terminal) {
        winsize size{};
        size.ws_row = 24;
        size.ws_col = 80;
        return forkpty(&reader, nullptr, nullptr, &size); // the terminal becomes 0, 1 and 2
    }
    int ends[2];
    if (pipe(ends) != 0)
        return -1;
    const pid_t child = fork();
    if (child == 0) {
        dup2(ends[1], 2);
        close(ends[0]);
        close(ends[1]);
        return 0;
    }
    close(ends[1]);
    reader = ends[0];
    return child;
}

// Everything the child writes there, until it closes its end (a pipe's end of
// file, a terminal's EIO) or the deadline passes.
std::string readAll(int reader, std::chrono::steady_clock::time_point deadline =
                                    std::chrono::steady_clock::time_point::max()) {
    std::string text;
    char buffer[4096];
    for (;;) {
        if (deadline != std::chrono::steady_clock::time_point::max()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd wanted{reader, POLLIN, 0};
            if (left.count() <= 0 || poll(&wanted, 1, int(left.count())) == 0)
                break;
        }
        const ssize_t got = read(reader, buffer, sizeof buffer);
        if (got > 0)
            text.append(buffer, std::size_t(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(reader);
    return text;
}

struct Started {
    pid_t child = -1;
    int reader = -1;
};

Started startProgram(const std::filesystem::path& program,
                     const std::vector<std::string>& arguments, const std::filesystem::path& home,
                     const std::map<std::string, std::string>& environment, ErrorStream errorStream,
                     const std::filesystem::path& outPath) {
    std::map<std::string, std::string> variables = {
        {"PATH", "/usr/bin:/bin"},
        {"HOME", home.string()},
        {"XDG_CONFIG_HOME", (home / "config").string()},
        {"XDG_DATA_HOME", (home / "data").string()},
        {"TMPDIR", home.string()},
    };
    for (const auto& [name, value] : environment)
        variables[name] = value;
    std::vector<std::string> envText;
    for (const auto& [name, value] : variables)
        envText.push_back(name + "=" + value);

    std::vector<char*> argv;
    std::string programText = program.string();
    argv.push_back(programText.data());
    std::vector<std::string> args = arguments;
    for (std::string& argument : args)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& entry : envText)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    Started started;
    started.child = forkWithErrorStream(errorStream, started.reader);
    if (started.child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return started;
}

ProgramResult finishProgram(pid_t child, int reader, const std::filesystem::path& outPath,
                            std::chrono::steady_clock::time_point deadline) {
    ProgramResult result;
    if (child < 0)
        return result;
    result.standardError = readAll(reader, deadline);
    int status = 0;
    if (waitpid(child, &status, WNOHANG) == 0) {
        // Still running past the deadline, or it closed its error stream
        // early: it gets until the deadline, then it is killed.
        while (waitpid(child, &status, WNOHANG) == 0 && std::chrono::steady_clock::now() < deadline)
            usleep(10000);
        if (waitpid(child, &status, WNOHANG) == 0) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.standardOutput = readTextFile(outPath);
    return result;
}

} // namespace

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& home,
                         const std::map<std::string, std::string>& environment,
                         ErrorStream errorStream) {
    const std::filesystem::path outPath = home / "stdout.txt";
    const Started started =
        startProgram(program, arguments, home, environment, errorStream, outPath);
    return finishProgram(started.child, started.reader, outPath,
                         std::chrono::steady_clock::time_point::max());
}

RunningProgram::RunningProgram(const std::filesystem::path& program,
                               const std::vector<std::string>& arguments,
                               const std::filesystem::path& home,
                               const std::map<std::string, std::string>& environment)
    : m_outPath(home / "stdout.txt") {
    const Started started =
        startProgram(program, arguments, home, environment, ErrorStream::Pipe, m_outPath);
    m_child = started.child;
    m_reader = started.reader;
}

RunningProgram::~RunningProgram() {
    if (m_child > 0)
        wait(std::chrono::seconds(0));
}

void RunningProgram::signal(int number) const {
    if (m_child > 0)
        kill(m_child, number);
}

ProgramResult RunningProgram::wait(std::chrono::seconds limit) {
    const pid_t child = std::exchange(m_child, -1);
    return finishProgram(child, m_reader, m_outPath, std::chrono::steady_clock::now() + limit);
}

#endif

} // namespace pagesmith::test
