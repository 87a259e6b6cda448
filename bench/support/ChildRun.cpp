#include "support/ChildRun.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>

namespace pagesmith::bench {

namespace {

double secondsOf(const timeval& time) {
    return double(time.tv_sec) + double(time.tv_usec) / 1e6;
}

} // namespace

void ChildRun::add(const ChildRun& step) {
    ok = ok && step.ok;
    seconds += step.seconds;
    cpuSeconds += step.cpuSeconds;
    peakKiB = std::max(peakKiB, step.peakKiB);
}

ChildRun runChild(const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    ChildRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0)
        return run;
    if (pid == 0) {
        if (FILE* null = std::fopen("/dev/null", "w")) {
            dup2(fileno(null), STDOUT_FILENO);
            dup2(fileno(null), STDERR_FILENO);
        }
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = secondsOf(usage.ru_utime) + secondsOf(usage.ru_stime);
    run.peakKiB = usage.ru_maxrss;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

ChildRun bestOf(int repeat, const std::vector<std::string>& arguments) {
    ChildRun best;
    for (int i = 0; i < repeat; ++i) {
        const ChildRun run = runChild(arguments);
        if (!run.ok)
            return run;
        best.seconds = i == 0 ? run.seconds : std::min(best.seconds, run.seconds);
        best.peakKiB = std::max(best.peakKiB, run.peakKiB);
        best.ok = true;
    }
    return best;
}

double mebibytes(long kibibytes) {
    return double(kibibytes) / 1024.0;
}

std::string selfPath(const char* fallback) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string(fallback) : self.string();
}

} // namespace pagesmith::bench
