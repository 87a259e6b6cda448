#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace pagesmith {

// The fileInfos entry of a scanned file: "%u," with the low 32 bits of the
// size, then the last-write time in UTC as "yyyy.MM.dd hh:mm" on the 12-hour
// clock without a marker. Only the size and the comma without a time.
std::string fileInfoText(std::uintmax_t size,
                         std::optional<std::chrono::system_clock::time_point> lastWrite);

} // namespace pagesmith
