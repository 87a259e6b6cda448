#pragma once

#include <chrono>
#include <future>
#include <thread>
#include <type_traits>
#include <utility>

namespace pagesmith::test {

using namespace std::chrono_literals;

// Long enough for a thread that does not wait to be done; a thread that waits
// as it should is never done this early, so a slow machine cannot make a test
// fail, only let a fault through now and then.
constexpr auto kSettle = 100ms;
// Bounds every wait for a thread that should have been released.
constexpr auto kReleased = 10s;

// Runs `call` on a thread of its own, left to itself: a test whose thread is
// never released fails on its bounded wait instead of hanging on a join. What
// the call uses must outlive the test (hold it by shared pointer).
template <typename Call> auto onItsOwnThread(Call call) {
    std::packaged_task<std::invoke_result_t<Call>()> task(std::move(call));
    auto result = task.get_future();
    std::thread(std::move(task)).detach();
    return result;
}

} // namespace pagesmith::test
