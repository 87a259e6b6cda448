#include "app/StopSignals.h"

#include "platform/StopRequests.h"

namespace pagesmith {

StopSignals::StopSignals() {
    platform::noteStopRequests();
}

StopSignals::~StopSignals() {
    platform::restoreStopRequestDefaults();
}

const std::atomic<int>* StopSignals::flag() {
    return platform::stopRequestFlag();
}

int exitStatusAfter(const std::atomic<int>* stopFlag, int status) {
    const int signal = stopFlag ? stopFlag->load() : 0;
    return signal != 0 ? 128 + signal : status;
}

} // namespace pagesmith
