#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <type_traits>

// Work done in a child process, so that the memory it takes is its own and a
// crash or an overdraw cannot take the test program with it.
//
// On Linux the child is a fork that runs `work`. Windows has no fork: there
// the test program is started again to run `childTest`, a disabled test of
// its own, with `environment` added; that test does the same work from the
// environment and hands its outcome back with sendToParent().
namespace pagesmith::test {

// The most memory this process has held in pages it touched, in kilobytes.
long peakKilobytes();

// Runs the work in a child and fills `outcome` with the bytes it sent; false
// (with a test failure) when the child did not end well.
bool runMeasuredChild(std::span<std::byte> outcome,
                      const std::function<void(std::span<std::byte>)>& work,
                      const std::string& childTest,
                      const std::map<std::string, std::string>& environment);

// In the Windows child: hands the outcome to the parent.
void sendToParent(std::span<const std::byte> outcome);

// A fixed-size outcome from a child process.
template <class Outcome>
Outcome inMeasuredChild(const std::function<Outcome()>& work, const std::string& childTest,
                        const std::map<std::string, std::string>& environment) {
    static_assert(std::is_trivially_copyable_v<Outcome>);
    Outcome outcome{};
    runMeasuredChild(std::as_writable_bytes(std::span(&outcome, 1)),
                     [&](std::span<std::byte> bytes) {
                         const Outcome made = work();
                         std::memcpy(bytes.data(), &made, sizeof made);
                     },
                     childTest, environment);
    return outcome;
}

template <class Outcome>
void sendToParent(const Outcome& outcome) {
    static_assert(std::is_trivially_copyable_v<Outcome>);
    sendToParent(std::as_bytes(std::span(&outcome, 1)));
}

} // namespace pagesmith::test
