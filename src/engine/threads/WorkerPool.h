#pragma once

#include "engine/threads/BoundedQueue.h"
#include "engine/threads/CoreBudget.h"
#include "engine/threads/JoiningThread.h"

#include <functional>
#include <vector>

namespace pagesmith {

// A fixed set of threads taking tasks in the order they were handed in. Each
// task is told which of the threads runs it (0 to threads - 1), so that it
// can use what belongs to that thread, and runs holding a core of the budget:
// a thread whose task finds no core free waits for one. The thread that made
// the pool only hands tasks in and waits for their results, so it lends its
// own core to the pool for the pool's life.
class WorkerPool {
public:
    WorkerPool(int threads, CoreBudget& cores);
    // Runs what was handed in, then ends the threads.
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Waits while kTasksWaitingPerPoolThread tasks per thread wait to be
    // taken; the threads never wait for the caller, so they make room.
    void submit(std::function<void(int thread)> task);

private:
    void work(int thread);

    CoreBudget& m_cores;
    CoreLease m_lentCore; // taken back once the threads have ended
    BoundedQueue<std::function<void(int)>> m_tasks;
    std::vector<JoiningThread> m_threads;
};

} // namespace pagesmith
