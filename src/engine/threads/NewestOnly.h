#pragma once

#include "engine/threads/JoiningThread.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace pagesmith {

// One thread of its own that runs only the newest of the tasks handed to it,
// for work a person asks for again before the last answer came (a page to
// show, then another). A task handed over asks the running one to stop (its
// flag turns true; it ends when it next looks) and takes the place of any
// task still waiting, so at most one runs and one waits. The end stops the
// running task and waits for it; a waiting task is dropped unrun.
class NewestOnly {
public:
    using Task = std::function<void(const std::atomic<bool>& stop)>;

    NewestOnly();
    ~NewestOnly();
    NewestOnly(const NewestOnly&) = delete;
    NewestOnly& operator=(const NewestOnly&) = delete;

    void run(Task task);

private:
    void work();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    Task m_waiting;
    bool m_ending = false;
    std::shared_ptr<std::atomic<bool>> m_runningStop; // the running task's flag
    JoiningThread m_thread;
};

} // namespace pagesmith
