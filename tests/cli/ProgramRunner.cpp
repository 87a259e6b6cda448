#include "cli/ProgramRunner.h"

#include "support/TempDir.h"

#include <fcntl.h>
#include <regex>
#include <sys/wait.h>
#include <unistd.h>

namespace pagesmith::test {

std::filesystem::path builtProgram() {
    return PAGESMITH_BINARY;
}

ProgramResult runProgram(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         const std::filesystem::path& home,
                         const std::map<std::string, std::string>& environment) {
    const std::filesystem::path outPath = home / "stdout.txt";
    const std::filesystem::path errPath = home / "stderr.txt";

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

    const pid_t child = fork();
    if (child == 0) {
        const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    ProgramResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    result.standardOutput = readTextFile(outPath);
    result.standardError = readTextFile(errPath);
    return result;
}

std::string maskTimeStamps(const std::string& log) {
    static const std::regex stamp(R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})");
    return std::regex_replace(log, stamp, "<time>");
}

} // namespace pagesmith::test
