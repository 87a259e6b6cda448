#include "app/StopSignals.h"

#include <csignal>

namespace pagesmith {

namespace {

// Written by the handler, which may run on any thread; read by the runs
// through the pointer the entry hands them.
std::atomic<int> g_stopSignal{0};
static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only touch this");

} // namespace

#ifndef _WIN32

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

StopSignals::StopSignals() {
    setHandlers(noteStopSignal);
}

StopSignals::~StopSignals() {
    setHandlers(SIG_DFL);
}

#else

// The console's control handler (SetConsoleCtrlHandler) belongs here.
StopSignals::StopSignals() = default;
StopSignals::~StopSignals() = default;

#endif

const std::atomic<int>* StopSignals::flag() {
    return &g_stopSignal;
}

int exitStatusAfter(const std::atomic<int>* stopFlag, int status) {
    const int signal = stopFlag ? stopFlag->load() : 0;
    return signal != 0 ? 128 + signal : status;
}

} // namespace pagesmith
