#include "batch/WorkerPool.h"

#include "engine/CoreBudget.h"

#include <limits>

namespace pagesmith {

WorkerPool::WorkerPool(int threads, CoreBudget& cores)
    // The caller bounds what it hands in; the queue need not.
    : m_cores(cores), m_tasks(std::numeric_limits<std::size_t>::max()) {
    m_cores.give();
    for (int i = 0; i < threads; ++i)
        m_threads.emplace_back([this, i] { work(i); });
}

WorkerPool::~WorkerPool() {
    m_tasks.close();
    for (std::thread& thread : m_threads)
        thread.join();
    m_cores.take();
}

void WorkerPool::submit(std::function<void(int)> task) {
    m_tasks.push(std::move(task));
}

void WorkerPool::work(int thread) {
    while (std::optional<std::function<void(int)>> task = m_tasks.pop()) {
        m_cores.take();
        (*task)(thread);
        m_cores.give();
    }
}

} // namespace pagesmith
