#include "engine/threads/WorkerPool.h"

#include "base/MemoryLimits.h"

namespace pagesmith {

WorkerPool::WorkerPool(int threads, CoreBudget& cores)
    : m_cores(cores), m_lentCore(CoreLease::lendOwn(cores)),
      m_tasks(std::size_t(threads < 1 ? 1 : threads) * kTasksWaitingPerPoolThread) {
    try {
        for (int i = 0; i < threads; ++i)
            m_threads.emplace_back([this, i] { work(i); });
    } catch (...) {
        // The threads started wait for tasks: they end before the error goes on.
        m_tasks.close();
        m_threads.clear();
        throw;
    }
}

WorkerPool::~WorkerPool() {
    m_tasks.close();
    for (JoiningThread& thread : m_threads)
        thread.join();
}

void WorkerPool::submit(std::function<void(int)> task) {
    m_tasks.push(std::move(task));
}

void WorkerPool::work(int thread) {
    while (std::optional<std::function<void(int)>> task = m_tasks.pop()) {
        const CoreLease core = CoreLease::waitForOne(m_cores);
        (*task)(thread);
    }
}

} // namespace pagesmith
