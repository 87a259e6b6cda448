#pragma once

#include <optional>
#include <string>

namespace pagesmith {

struct BatchRequest;

// Default time a file's size and time must stay unchanged before it is taken
// ("/settle=SECONDS").
constexpr int kDefaultSettleMilliseconds = 2000;

// What "/watch" asks for, besides the conversion itself.
struct WatchSettings {
    int on = 0;                                          // "/watch"
    int settleMilliseconds = kDefaultSettleMilliseconds; // "/settle="
    int fileNamed = 0; // "/f=" was given: a watch needs a folder, not a file
};

// Why a request cannot run as a watch (a one-line message), or nothing when
// it can: a watch converts into a save folder, one file at a time.
std::optional<std::string> watchRefusal(const BatchRequest& request);

} // namespace pagesmith
