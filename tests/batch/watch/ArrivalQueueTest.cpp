#include "batch/watch/ArrivalQueue.h"

#include <gtest/gtest.h>

#include <map>

namespace pagesmith {
namespace {

using namespace std::chrono_literals;
using Clock = ArrivalQueue::Clock;

// The files' stamps as the queue would find them on disk; a missing name is
// a file that is gone.
struct Disk {
    std::map<std::string, FileStamp> files;
    ArrivalQueue::StampLookup lookup() const {
        return [this](const std::string& name) -> std::optional<FileStamp> {
            const auto found = files.find(name);
            if (found == files.end())
                return std::nullopt;
            return found->second;
        };
    }
};

std::vector<std::string> names(const std::vector<std::pair<std::string, FileStamp>>& ready) {
    std::vector<std::string> taken;
    for (const auto& [name, stamp] : ready)
        taken.push_back(name);
    return taken;
}

const Clock::time_point t0 = Clock::time_point() + 1000s;
const FileStamp small{100, 1};
const FileStamp larger{200, 2};

TEST(ArrivalQueue, TakesAClosedOrMovedInFileAtOnce) {
    ArrivalQueue queue(2000ms);
    Disk disk{{{"a.tif", small}}};
    queue.noteComplete("a.tif", t0);
    EXPECT_EQ(queue.nextDeadline(), t0);
    const auto ready = queue.takeReady(t0, disk.lookup());
    EXPECT_EQ(names(ready), std::vector<std::string>{"a.tif"});
    EXPECT_EQ(ready[0].second, small);
    EXPECT_TRUE(queue.empty());
}

TEST(ArrivalQueue, TakesAGrowingFileOnlyOnceItStayedTheSameForTheSettleTime) {
    ArrivalQueue queue(2000ms);
    Disk disk{{{"scan.tif", small}}};
    queue.noteChanged("scan.tif", small, t0);
    EXPECT_TRUE(queue.takeReady(t0 + 1999ms, disk.lookup()).empty());
    // Grown by the time it is due: it must stay so for another settle time.
    disk.files["scan.tif"] = larger;
    EXPECT_TRUE(queue.takeReady(t0 + 2000ms, disk.lookup()).empty());
    EXPECT_EQ(queue.nextDeadline(), t0 + 4000ms);
    EXPECT_TRUE(queue.takeReady(t0 + 3999ms, disk.lookup()).empty());
    EXPECT_EQ(names(queue.takeReady(t0 + 4000ms, disk.lookup())),
              std::vector<std::string>{"scan.tif"});
}

TEST(ArrivalQueue, AWriteAfterTheCloseWaitsForTheSettleTimeAgain) {
    ArrivalQueue queue(2000ms);
    Disk disk{{{"a.tif", larger}}};
    queue.noteComplete("a.tif", t0);
    queue.noteChanged("a.tif", larger, t0 + 1ms);
    EXPECT_TRUE(queue.takeReady(t0 + 1ms, disk.lookup()).empty());
    EXPECT_EQ(names(queue.takeReady(t0 + 2001ms, disk.lookup())),
              std::vector<std::string>{"a.tif"});
}

TEST(ArrivalQueue, ForgetsFilesThatWentAway) {
    ArrivalQueue queue(2000ms);
    Disk disk;
    queue.noteComplete("gone.tif", t0);
    queue.noteChanged("removed.tif", small, t0);
    queue.forget("removed.tif");
    EXPECT_TRUE(queue.takeReady(t0 + 5000ms, disk.lookup()).empty());
    EXPECT_TRUE(queue.empty());
    EXPECT_FALSE(queue.nextDeadline());
}

TEST(ArrivalQueue, HandsOutReadyFilesInNameOrderAndKeepsTheOthers) {
    ArrivalQueue queue(2000ms);
    Disk disk{{{"b.tif", small}, {"a.tif", small}, {"c.tif", small}}};
    queue.noteComplete("b.tif", t0);
    queue.noteComplete("a.tif", t0);
    queue.noteChanged("c.tif", small, t0);
    EXPECT_EQ(names(queue.takeReady(t0, disk.lookup())),
              (std::vector<std::string>{"a.tif", "b.tif"}));
    EXPECT_EQ(queue.nextDeadline(), t0 + 2000ms);
}

} // namespace
} // namespace pagesmith
