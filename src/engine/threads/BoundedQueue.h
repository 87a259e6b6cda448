#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <optional>

namespace pagesmith {

// A first-in first-out hand-over between threads that holds at most
// `capacity` items: a producer that runs ahead waits, so memory stays bounded.
// Closing it wakes everyone: pushes are refused from then on, and pops return
// what is left, then nothing.
template <typename T> class BoundedQueue {
public:
    explicit BoundedQueue(std::size_t capacity) : m_capacity(capacity < 1 ? 1 : capacity) {}

    // Waits for room; false when the queue was closed instead.
    bool push(T item) {
        std::unique_lock lock(m_mutex);
        m_notFull.wait(lock, [&] { return m_closed || m_items.size() < m_capacity; });
        if (m_closed)
            return false;
        m_items.push_back(std::move(item));
        m_notEmpty.notify_one();
        return true;
    }

    // Waits for an item; nothing once the queue is closed and empty.
    std::optional<T> pop() {
        std::unique_lock lock(m_mutex);
        m_notEmpty.wait(lock, [&] { return m_closed || !m_items.empty(); });
        return takeFront();
    }

    // An item if one is there now; never waits.
    std::optional<T> tryPop() {
        std::lock_guard lock(m_mutex);
        return takeFront();
    }

    void close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_notFull.notify_all();
        m_notEmpty.notify_all();
    }

private:
    // With the lock held.
    std::optional<T> takeFront() {
        if (m_items.empty())
            return std::nullopt;
        T item = std::move(m_items.front());
        m_items.pop_front();
        m_notFull.notify_one();
        return item;
    }

    const std::size_t m_capacity;
    std::mutex m_mutex;
    std::condition_variable m_notFull;
    std::condition_variable m_notEmpty;
    std::deque<T> m_items;
    bool m_closed = false;
};

} // namespace pagesmith
