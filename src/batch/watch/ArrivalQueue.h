#pragma once

#include "batch/watch/WatchState.h"

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pagesmith {

// Decides when a file that arrived or changed in the watched folder is
// complete: at once when it was closed after writing or moved in, otherwise
// once its size and time have stayed the same for the settle time.
class ArrivalQueue {
public:
    using Clock = std::chrono::steady_clock;
    // The file's stamp now, or nothing when it is gone.
    using StampLookup = std::function<std::optional<FileStamp>(const std::string& name)>;

    explicit ArrivalQueue(std::chrono::milliseconds settle) : m_settle(settle) {}

    // The file was made or written to: it may still be growing.
    void noteChanged(const std::string& name, std::optional<FileStamp> stamp,
                     Clock::time_point now);
    // The file was closed after writing, or moved in whole.
    void noteComplete(const std::string& name, Clock::time_point now);
    void forget(const std::string& name) { m_waiting.erase(name); }

    // The files complete at `now`, in name order, with the stamp they have
    // now; they leave the queue. Files gone meanwhile leave it too.
    std::vector<std::pair<std::string, FileStamp>> takeReady(Clock::time_point now,
                                                             const StampLookup& stampNow);
    // When a waiting file is next due to be looked at.
    std::optional<Clock::time_point> nextDeadline() const;
    bool empty() const { return m_waiting.empty(); }

private:
    struct Waiting {
        std::optional<FileStamp> stamp; // as last seen
        Clock::time_point due;
        bool complete = false;
    };

    std::chrono::milliseconds m_settle;
    std::map<std::string, Waiting> m_waiting;
};

} // namespace pagesmith
