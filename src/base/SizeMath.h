#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

namespace pagesmith {

// Buffer sizes computed from values read out of a file: a damaged or hostile
// file must never make them wrap around.
inline std::optional<std::size_t> checkedMultiply(std::uint64_t a, std::uint64_t b) {
    if (a != 0 && b > std::numeric_limits<std::uint64_t>::max() / a)
        return std::nullopt;
    const std::uint64_t product = a * b;
    if (product > std::numeric_limits<std::size_t>::max() / 2)
        return std::nullopt;
    return static_cast<std::size_t>(product);
}

inline std::optional<std::size_t> checkedMultiply(std::uint64_t a, std::uint64_t b,
                                                  std::uint64_t c) {
    const auto ab = checkedMultiply(a, b);
    if (!ab)
        return std::nullopt;
    return checkedMultiply(*ab, c);
}

} // namespace pagesmith
