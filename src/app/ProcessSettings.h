#pragma once

#include <atomic>
#include <string>
#include <vector>

namespace pagesmith {

// What the entry works out once for the whole process and hands down to the
// run mode; nothing below the entry reads it from anywhere else.
struct ProcessSettings {
    std::string modulePath;  // the running program file (command header)
    std::string scratchPath; // this process's scratch TIFF for colour pages bound for fax
    std::string logPath;     // the run log
    int shortLog = 0;        // "/sl": shorter reports, no log separators
    int threads = 0;         // cores a batch may keep busy (PAGESMITH_THREADS); 0: every core
    std::vector<std::string> windowPaths; // "--window PATH...": what the window shows first
    // Nonzero (the signal's number) once the process was asked to end.
    const std::atomic<int>* interruption = nullptr;
};

} // namespace pagesmith
