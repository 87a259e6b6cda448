#include "engine/threads/NewestOnly.h"

namespace pagesmith {

NewestOnly::NewestOnly() : m_thread([this] { work(); }) {}

NewestOnly::~NewestOnly() {
    {
        std::lock_guard lock(m_mutex);
        m_ending = true;
        m_waiting = nullptr;
        if (m_runningStop)
            *m_runningStop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void NewestOnly::run(Task task) {
    {
        std::lock_guard lock(m_mutex);
        m_waiting = std::move(task);
        if (m_runningStop)
            *m_runningStop = true;
    }
    m_wake.notify_one();
}

void NewestOnly::work() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_ending || m_waiting; });
        if (m_ending)
            return;
        Task task = std::move(m_waiting);
        m_waiting = nullptr;
        auto stop = std::make_shared<std::atomic<bool>>(false);
        m_runningStop = stop;
        lock.unlock();
        task(*stop);
        task = nullptr; // what it holds goes before the next one runs
        lock.lock();
        m_runningStop.reset();
    }
}

} // namespace pagesmith
