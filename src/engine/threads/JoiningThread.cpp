#include "engine/threads/JoiningThread.h"

namespace pagesmith {

JoiningThread& JoiningThread::operator=(JoiningThread&& other) noexcept {
    if (this != &other) {
        join();
        m_thread = std::move(other.m_thread);
    }
    return *this;
}

void JoiningThread::join() {
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace pagesmith
