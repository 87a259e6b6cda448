#include "cli/ProgramRunner.h"

#include "platform/Utf8Paths.h"
#include "support/TempDir.h"

#include <regex>

#ifdef _WIN32
#include "support/WindowsProcess.h"

#include <gtest/gtest.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>
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
// file, a terminal's EIO).
std::string readAll(int reader) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(reader, buffer, sizeof buffer);
        if (got > 0)
            text.append(buffer, std::size_t(got));
        else if (got == 0 || errno != EINTR)
            break;
    }
    close(reader);
    return text;
}

} // namespace

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& home,
                         const std::map<std::string, std::string>& environment,
                         ErrorStream errorStream) {
    const std::filesystem::path outPath = home / "stdout.txt";

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

    int reader = -1;
    const pid_t child = forkWithErrorStream(errorStream, reader);
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    ProgramResult result;
    if (child < 0)
        return result;
    result.standardError = readAll(reader);
    int status = 0;
    if (waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.standardOutput = readTextFile(outPath);
    return result;
}

#endif

} // namespace pagesmith::test
