#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pagesmith {

// The fileInfos entry of a scanned file: "%u," with the low 32 bits of the
// size, then the last-write time in UTC as "yyyy.MM.dd HH:mm" on the 24-hour
// clock (a 12-hour hour without AM or PM would be ambiguous). Only the size
// and the comma without a time.
std::string fileInfoText(std::uintmax_t size,
                         std::optional<std::chrono::system_clock::time_point> lastWrite);

} // namespace pagesmith
