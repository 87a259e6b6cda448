#pragma once

#include <string>
#include <vector>

namespace pagesmith::bench {

// One program run in a child process: its wall time and its own peak memory.
struct ChildRun {
    bool ok = false;
    double seconds = 0;    // wall clock
    double cpuSeconds = 0; // user and system time of the child
    long peakKiB = 0;      // ru_maxrss of the child

    // Adds a later step of the same job (a pipeline of programs).
    void add(const ChildRun& step);
};

// Runs the command (found on PATH when it has no slash) with its output
// discarded; ok when it exits with 0.
ChildRun runChild(const std::vector<std::string>& arguments);

// The best time of `repeat` runs and the largest peak memory.
ChildRun bestOf(int repeat, const std::vector<std::string>& arguments);

double mebibytes(long kibibytes);

// The running benchmark's own file, to run parts of it in a child.
std::string selfPath(const char* fallback);

} // namespace pagesmith::bench
