#include "engine/threads/BoundedQueue.h"

#include "support/WaitingThread.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace pagesmith {
namespace {

using test::kReleased;
using test::kSettle;
using test::onItsOwnThread;

std::vector<int> drained(BoundedQueue<int>& queue) {
    queue.close();
    std::vector<int> left;
    while (std::optional<int> item = queue.pop())
        left.push_back(*item);
    return left;
}

// A push into a full queue waits until a pop makes room, or until the queue
// is closed, which refuses the item.
TEST(BoundedQueue, AFullPushWaitsUntilAPopMakesRoomOrACloseRefusesIt) {
    struct Case {
        const char* name;
        std::function<void(BoundedQueue<int>&)> release;
        bool pushed;
        std::vector<int> left;
    };
    const Case cases[] = {
        {"a pop makes room", [](BoundedQueue<int>& q) { EXPECT_EQ(q.pop(), 1); }, true, {2}},
        {"a close refuses the item", [](BoundedQueue<int>& q) { q.close(); }, false, {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto queue = std::make_shared<BoundedQueue<int>>(1);
        ASSERT_TRUE(queue->push(1));
        auto pushing = onItsOwnThread([queue] { return queue->push(2); });
        EXPECT_EQ(pushing.wait_for(kSettle), std::future_status::timeout) << "did not wait";
        c.release(*queue);
        ASSERT_EQ(pushing.wait_for(kReleased), std::future_status::ready) << "still waits";
        EXPECT_EQ(pushing.get(), c.pushed);
        EXPECT_EQ(drained(*queue), c.left);
    }
}

// A pop from an empty queue waits until an item comes, or until the queue is
// closed, which gives nothing.
TEST(BoundedQueue, AnEmptyPopWaitsUntilAnItemComesOrACloseEndsIt) {
    struct Case {
        const char* name;
        std::function<void(BoundedQueue<int>&)> release;
        std::optional<int> popped;
    };
    const Case cases[] = {
        {"an item comes", [](BoundedQueue<int>& q) { EXPECT_TRUE(q.push(7)); }, 7},
        {"a close", [](BoundedQueue<int>& q) { q.close(); }, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto queue = std::make_shared<BoundedQueue<int>>(1);
        auto popping = onItsOwnThread([queue] { return queue->pop(); });
        EXPECT_EQ(popping.wait_for(kSettle), std::future_status::timeout) << "did not wait";
        c.release(*queue);
        ASSERT_EQ(popping.wait_for(kReleased), std::future_status::ready) << "still waits";
        EXPECT_EQ(popping.get(), c.popped);
    }
}

} // namespace
} // namespace pagesmith
