#pragma once

#include <atomic>

namespace pagesmith {

// The cores one batch run may keep busy, shared by the threads of its file
// pool and the decoding threads of each file's pipeline, so that together
// they never ask for more than the machine (or PAGESMITH_THREADS) gives.
// The thread that starts a run holds one core from the start; a thread that
// only waits for others (the batch thread while its pool works) gives its
// core back for that time.
class CoreBudget {
public:
    // At least 1. One core means no other thread is ever started.
    explicit CoreBudget(int cores);

    int cores() const { return m_cores; }

    // A core for a thread that must run (a pool worker about to take a file):
    // taken even when none is free, which can only happen while a pipeline
    // finishes its page on a core it took earlier.
    void take() { m_free.fetch_sub(1); }
    // A core for a thread that may be left out (a pipeline's extra decoder):
    // only when one is free now; never waits.
    bool tryTake();
    void give() { m_free.fetch_add(1); }
    // Cores free at this moment; another thread may take them next.
    int freeNow() const { return m_free.load(); }

    // The number of cores of this machine, or `requested` when it is positive.
    static int coresFor(int requested);

private:
    const int m_cores;
    std::atomic<int> m_free;
};

// A core taken with tryTake for as long as the object lives.
class ExtraCore {
public:
    explicit ExtraCore(CoreBudget& budget) : m_budget(budget), m_taken(budget.tryTake()) {}
    ~ExtraCore() {
        if (m_taken)
            m_budget.give();
    }
    ExtraCore(const ExtraCore&) = delete;
    ExtraCore& operator=(const ExtraCore&) = delete;

    explicit operator bool() const { return m_taken; }

private:
    CoreBudget& m_budget;
    const bool m_taken;
};

} // namespace pagesmith
