#pragma once

#include <thread>
#include <type_traits>
#include <utility>

namespace pagesmith {

// A callable run on a thread of its own, which this object waits for (joins)
// when asked, and at the latest when it ends or takes another thread: no
// thread outlives what it works on, and none is left unjoined, where a
// std::thread would end the program (the C++ Core Guidelines'
// joining_thread, CP.25). Every thread of the program starts through it. Its
// owner makes the callable end (closes its queue, sets its stop flag) before
// joining: joining only waits.
class JoiningThread {
public:
    JoiningThread() = default; // no thread

    // Starts `function` on a new thread; throws std::system_error when the
    // system starts none. (std::is_invocable_v, not std::invocable: Qt's moc
    // reads this header through the window's and cannot parse <concepts>.)
    template <typename Function>
    requires std::is_invocable_v<std::decay_t<Function>>
    explicit JoiningThread(Function&& function) : m_thread(std::forward<Function>(function)) {}

    ~JoiningThread() { join(); }
    JoiningThread(JoiningThread&& other) noexcept = default;
    // Waits for the thread held, then holds the other's.
    JoiningThread& operator=(JoiningThread&& other) noexcept;
    JoiningThread(const JoiningThread&) = delete;
    JoiningThread& operator=(const JoiningThread&) = delete;

    // Whether it holds a thread not yet joined (which may have ended).
    bool joinable() const { return m_thread.joinable(); }

    // Waits until the callable has ended; returns at once when it holds no
    // thread (never started, moved away or joined). Never from the thread
    // itself.
    void join();

private:
    std::thread m_thread;
};

} // namespace pagesmith
