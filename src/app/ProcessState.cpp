#include "app/ProcessState.h"

namespace pagesmith {

ProcessState& processState() {
    static ProcessState state;
    return state;
}

void resetProcessState() {
    processState() = ProcessState{};
}

} // namespace pagesmith
