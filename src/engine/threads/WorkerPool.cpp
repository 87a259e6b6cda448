#include "engine/threads/WorkerPool.h"

#include <limits>

namespace pagesmith {

WorkerPool::WorkerPool(int threads, CoreBudget& cores)
    : m_cores(cores), m_lentCore(CoreLease::lendOwn(cores)),
      // The caller bounds what it hands in; the queue need not.
      m_tasks(std::numeric_limits<std::size_t>::max()) {
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this, i] { work(i); });
}

WorkerPool::~WorkerPool() {
    m_tasks.close();
    for (std::thread& thread : m_threads)
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
