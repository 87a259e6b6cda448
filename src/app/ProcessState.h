#pragma once

#include <string>

namespace pagesmith {

class MainWindowHooks;

// State shared by the whole process for its lifetime. Only one batch runs at a
// time, so it needs no lock: in window mode the worker touches it only while no
// other batch can start.
struct ProcessState {
    std::string modulePath;    // the running program file
    std::string moduleFolder;  // its folder
    std::string tempFilePath;  // this process's scratch TIFF for colour pages bound for fax
    std::string logPath;       // the run log
    int shortLog = 0;          // "/sl": shorter reports, no log separators
    std::string messageBuffer; // engine lines of a command-line batch
    MainWindowHooks* mainWindow = nullptr; // none in command-line mode
};

ProcessState& processState();

// Back to the state of a fresh process (tests).
void resetProcessState();

} // namespace pagesmith
