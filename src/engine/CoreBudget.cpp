#include "engine/CoreBudget.h"

#include <algorithm>
#include <thread>

namespace pagesmith {

CoreBudget::CoreBudget(int cores) : m_cores(std::max(cores, 1)), m_free(m_cores - 1) {}

bool CoreBudget::tryTake() {
    int free = m_free.load();
    while (free > 0)
        if (m_free.compare_exchange_weak(free, free - 1))
            return true;
    return false;
}

int CoreBudget::coresFor(int requested) {
    if (requested > 0)
        return requested;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

} // namespace pagesmith
