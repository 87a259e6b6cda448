#include "platform/StopRequests.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

namespace pagesmith::platform {

namespace {

// Written by the handler, which may run on any thread; read by the runs
// through the pointer the entry hands them.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only touch this");

} // namespace

#ifdef _WIN32

namespace {

// The console's events under the numbers of the signals they stand for, so
// that exit statuses match: Ctrl+C and Ctrl+Break as SIGINT, a closed
// console as SIGHUP, a log-off or shut-down as SIGTERM.
constexpr int kInterrupt = 2;
constexpr int kHangUp = 1;
constexpr int kTerminate = 15;

int signalOf(DWORD event) {
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
        return kInterrupt;
    case CTRL_CLOSE_EVENT:
        return kHangUp;
    default:
        return kTerminate;
    }
}

BOOL WINAPI noteConsoleEvent(DWORD event) {
    int none = 0;
    if (!g_stopSignal.compare_exchange_strong(none, signalOf(event)))
        return FALSE; // asked again: the system's own handler ends the process
    // After a close, log-off or shut-down the system ends the process once
    // this returns: the run gets a few seconds to tidy up first.
    if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT)
        Sleep(4000);
    return TRUE;
}

} // namespace

void noteStopRequests() {
    SetConsoleCtrlHandler(noteConsoleEvent, TRUE);
}

void restoreStopRequestDefaults() {
    SetConsoleCtrlHandler(noteConsoleEvent, FALSE);
}

const char* stopRequestWords() {
    return "Ctrl+C or closing the console";
}

#else

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void noteStopSignal(int number) {
    int none = 0;
    if (g_stopSignal.compare_exchange_strong(none, number))
        return;
    // Asked again: no more waiting for the run to tidy up.
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    sigemptyset(&defaultAction.sa_mask);
    sigaction(number, &defaultAction, nullptr);
    raise(number);
}

void setHandlers(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART; // reads and writes in hand go on; the runs look at the flag
    for (const int number : kStopSignals)
        sigaction(number, &action, nullptr);
}

} // namespace

void noteStopRequests() {
    setHandlers(noteStopSignal);
}

void restoreStopRequestDefaults() {
    setHandlers(SIG_DFL);
}

const char* stopRequestWords() {
    return "SIGTERM or Ctrl+C";
}

#endif

const std::atomic<int>* stopRequestFlag() {
    return &g_stopSignal;
}

} // namespace pagesmith::platform
