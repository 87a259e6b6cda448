#include "engine/threads/CoreBudget.h"

#include <algorithm>
#include <thread>
#include <utility>

namespace pagesmith {

CoreBudget::CoreBudget(int cores) : m_cores(std::max(cores, 1)), m_free(m_cores - 1) {}

int CoreBudget::freeNow() const {
    std::lock_guard lock(m_mutex);
    return m_free;
}

int CoreBudget::takeFree(int most) {
    std::lock_guard lock(m_mutex);
    // A thread that must run comes before one that may be left out.
    const int taken = m_waiting > 0 ? 0 : std::clamp(most, 0, m_free);
    m_free -= taken;
    return taken;
}

void CoreBudget::waitForOne() {
    std::unique_lock lock(m_mutex);
    ++m_waiting;
    m_given.wait(lock, [&] { return m_free > 0; });
    --m_waiting;
    --m_free;
}

void CoreBudget::give(int count) {
    {
        std::lock_guard lock(m_mutex);
        m_free += count;
    }
    m_given.notify_all();
}

int CoreBudget::coresFor(int requested) {
    if (requested > 0)
        return requested;
    return std::max(1, int(std::thread::hardware_concurrency()));
}

CoreLease::CoreLease(CoreLease&& other) noexcept
    : m_budget(std::exchange(other.m_budget, nullptr)), m_cores(std::exchange(other.m_cores, 0)) {}

CoreLease& CoreLease::operator=(CoreLease&& other) noexcept {
    if (this != &other) {
        end();
        m_budget = std::exchange(other.m_budget, nullptr);
        m_cores = std::exchange(other.m_cores, 0);
    }
    return *this;
}

CoreLease CoreLease::waitForOne(CoreBudget& budget) {
    budget.waitForOne();
    return CoreLease(&budget, 1);
}

CoreLease CoreLease::ofFree(CoreBudget* budget, int most) {
    if (!budget || most <= 0)
        return {};
    return CoreLease(budget, budget->takeFree(most));
}

CoreLease CoreLease::lendOwn(CoreBudget& budget) {
    budget.give(1);
    return CoreLease(&budget, -1);
}

void CoreLease::end() {
    if (!m_budget)
        return;
    if (m_cores < 0)
        m_budget->waitForOne();
    else if (m_cores > 0)
        m_budget->give(m_cores);
    m_budget = nullptr;
    m_cores = 0;
}

} // namespace pagesmith
