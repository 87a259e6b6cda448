#include "batch/watch/ArrivalQueue.h"

namespace pagesmith {

void ArrivalQueue::noteChanged(const std::string& name, std::optional<FileStamp> stamp,
                               Clock::time_point now) {
    Waiting& waiting = m_waiting[name];
    // A closed file touched again without a new size or time (its
    // attributes) is still complete.
    if (waiting.complete && stamp && waiting.stamp == stamp)
        return;
    waiting.stamp = stamp;
    waiting.complete = false;
    waiting.due = now + m_settle;
}

void ArrivalQueue::noteComplete(const std::string& name, Clock::time_point now) {
    Waiting& waiting = m_waiting[name];
    waiting.complete = true;
    waiting.stamp.reset();
    waiting.due = now;
}

std::vector<std::pair<std::string, FileStamp>>
ArrivalQueue::takeReady(Clock::time_point now, const StampLookup& stampNow) {
    std::vector<std::pair<std::string, FileStamp>> ready;
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        Waiting& waiting = it->second;
        if (waiting.due > now) {
            ++it;
            continue;
        }
        const std::optional<FileStamp> stamp = stampNow(it->first);
        if (!stamp) {
            it = m_waiting.erase(it);
            continue;
        }
        if (waiting.complete || waiting.stamp == stamp) {
            ready.emplace_back(it->first, *stamp);
            it = m_waiting.erase(it);
            continue;
        }
        // Still changing: it must now stay as it is for a whole settle time.
        waiting.stamp = stamp;
        waiting.due = now + m_settle;
        ++it;
    }
    return ready;
}

std::optional<ArrivalQueue::Clock::time_point> ArrivalQueue::nextDeadline() const {
    std::optional<Clock::time_point> next;
    for (const auto& [name, waiting] : m_waiting)
        if (!next || waiting.due < *next)
            next = waiting.due;
    return next;
}

} // namespace pagesmith
