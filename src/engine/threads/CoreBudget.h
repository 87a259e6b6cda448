#pragma once

#include <condition_variable>
#include <mutex>

namespace pagesmith {

// The cores one batch run may keep busy, shared by the threads of its file
// pool and the decoding threads of each file's pipeline, so that together
// they never run more than the machine (or PAGESMITH_THREADS) gives. Cores
// are taken and given back only through a CoreLease, and the free count
// never goes below zero. The thread that makes the budget holds one core
// from the start; while it only waits for others it lends that core out.
class CoreBudget {
public:
    // At least 1. One core means no other thread is ever started.
    explicit CoreBudget(int cores);
    CoreBudget(const CoreBudget&) = delete;
    CoreBudget& operator=(const CoreBudget&) = delete;

    int cores() const { return m_cores; }
    // Cores free at this moment; another thread may take them next.
    int freeNow() const;

    // The number of cores of this machine, or `requested` when it is positive.
    static int coresFor(int requested);

private:
    friend class CoreLease;
    int takeFree(int most);
    void waitForOne();
    void give(int count);

    const int m_cores;
    mutable std::mutex m_mutex;
    std::condition_variable m_given;
    int m_free;
    int m_waiting = 0; // threads that must run, waiting for a core
};

// Cores of a budget, held for as long as the lease lives.
//
// Nothing can wait for ever: the only threads that wait for a core (pool
// workers about to take a file, and the budget's maker taking its lent core
// back) hold none while they wait, and every core held is held by a thread
// that finishes its page without waiting for a core.
class CoreLease {
public:
    CoreLease() = default; // holds none
    ~CoreLease() { end(); }
    CoreLease(CoreLease&& other) noexcept;
    CoreLease& operator=(CoreLease&& other) noexcept;

    // One core for a thread that must run (a pool worker about to take a
    // file): waits until one is free.
    static CoreLease waitForOne(CoreBudget& budget);
    // Up to `most` cores free now, for threads that may be left out (a
    // pipeline's decoders); none while a thread that must run waits for one.
    // Never waits.
    static CoreLease ofFree(CoreBudget* budget, int most = 1);
    // The maker's own core, free for others while the maker only waits for
    // them; when the lease ends the maker waits to have its core back.
    static CoreLease lendOwn(CoreBudget& budget);

    // Cores held (none while the maker's own core is lent).
    int cores() const { return m_cores > 0 ? m_cores : 0; }
    explicit operator bool() const { return m_cores > 0; }

    // Gives the cores back now (or takes the lent core back).
    void end();

private:
    CoreLease(CoreBudget* budget, int cores) : m_budget(budget), m_cores(cores) {}

    CoreBudget* m_budget = nullptr;
    int m_cores = 0; // -1: the maker's own core, lent
};

} // namespace pagesmith
