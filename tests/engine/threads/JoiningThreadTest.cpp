#include "engine/threads/JoiningThread.h"

#include "support/WaitingThread.h"

#include <gtest/gtest.h>

#include <thread>

namespace pagesmith {
namespace {

using test::kSettle;

// The callable runs on a thread of its own, and a join returns only once it
// has ended, so what it wrote is there to read; joining again is harmless,
// and so is the end of a thread already joined.
TEST(JoiningThread, RunsTheCallableOnAnotherThreadAndJoinWaitsForItsEnd) {
    std::thread::id ranOn;
    bool done = false;
    JoiningThread thread([&] {
        std::this_thread::sleep_for(kSettle);
        ranOn = std::this_thread::get_id();
        done = true;
    });
    EXPECT_TRUE(thread.joinable());
    thread.join();
    EXPECT_TRUE(done);
    EXPECT_NE(ranOn, std::this_thread::get_id());
    EXPECT_FALSE(thread.joinable());
    thread.join();
}

// Without a join, it waits for its thread when it takes another and when it
// ends, where a std::thread would end the program.
TEST(JoiningThread, WaitsForItsThreadWhenItTakesAnotherAndWhenItEnds) {
    bool firstDone = false, secondDone = false;
    {
        JoiningThread thread([&] {
            std::this_thread::sleep_for(kSettle);
            firstDone = true;
        });
        thread = JoiningThread([&] {
            std::this_thread::sleep_for(kSettle);
            secondDone = true;
        });
        EXPECT_TRUE(firstDone);
    }
    EXPECT_TRUE(secondDone);
}

} // namespace
} // namespace pagesmith
