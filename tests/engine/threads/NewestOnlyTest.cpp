#include "engine/threads/NewestOnly.h"

#include "support/WaitingThread.h"

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <vector>

namespace pagesmith {
namespace {

using test::kReleased;

// What the tasks did, in order: "3 ran", "0 stopped".
struct Log {
    std::mutex mutex;
    std::vector<std::string> lines;
    void add(std::string line) {
        std::lock_guard lock(mutex);
        lines.push_back(std::move(line));
    }
};

// A task that runs until it is asked to stop or `release` is set.
NewestOnly::Task task(int number, Log& log, std::shared_future<void> release,
                      std::promise<void>* started = nullptr) {
    return [number, &log, release, started](const std::atomic<bool>& stop) {
        if (started)
            started->set_value();
        while (!stop &&
               release.wait_for(std::chrono::milliseconds(1)) == std::future_status::timeout) {
        }
        log.add(std::to_string(number) + (stop ? " stopped" : " ran"));
    };
}

// Ten requests while the first is in hand: the first is asked to stop, the
// eight between are dropped unrun, the last runs.
TEST(NewestOnly, RunsOnlyTheNewestOfTheTasksHandedOverWhileOneRuns) {
    Log log;
    std::promise<void> firstStarted, allHanded, lastDone;
    const std::shared_future<void> handed = allHanded.get_future().share();
    {
        NewestOnly worker;
        // The first ends only once all are handed over, stopped or not.
        worker.run([&](const std::atomic<bool>& stop) {
            firstStarted.set_value();
            handed.wait();
            log.add(stop ? "0 stopped" : "0 ran");
        });
        ASSERT_EQ(firstStarted.get_future().wait_for(kReleased), std::future_status::ready);
        for (int i = 1; i < 9; ++i)
            worker.run(task(i, log, handed));
        worker.run([&](const std::atomic<bool>& stop) {
            log.add(stop ? "9 stopped" : "9 ran");
            lastDone.set_value();
        });
        allHanded.set_value();
        ASSERT_EQ(lastDone.get_future().wait_for(kReleased), std::future_status::ready);
    }
    EXPECT_EQ(log.lines, (std::vector<std::string>{"0 stopped", "9 ran"}));
}

// Its end stops the task in hand and waits for it; the one waiting never runs.
TEST(NewestOnly, ItsEndStopsTheTaskInHandAndDropsTheOneWaiting) {
    Log log;
    std::promise<void> never;
    const std::shared_future<void> unreleased = never.get_future().share();
    std::promise<void> started;
    {
        NewestOnly worker;
        worker.run(task(0, log, unreleased, &started));
        ASSERT_EQ(started.get_future().wait_for(kReleased), std::future_status::ready);
        worker.run(task(1, log, unreleased));
    }
    EXPECT_EQ(log.lines, std::vector<std::string>{"0 stopped"});
    never.set_value();
}

} // namespace
} // namespace pagesmith
