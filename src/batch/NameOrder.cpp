#include "batch/NameOrder.h"

#include <QChar>

#include <cstdint>
#include <vector>

namespace pagesmith {

namespace {

// Code units of bytes that are not UTF-8, above every real code unit.
constexpr std::uint32_t kStrayByteBase = 0x10000;

// The name as UTF-16 code units, each upper-cased on its own (a surrogate
// half stays as it is), as the platform that lists folders in this order
// compares them. Qt's tables give the same mapping on every platform.
std::vector<std::uint32_t> upperCaseUnits(const std::string& name) {
    std::vector<std::uint32_t> units;
    units.reserve(name.size());
    const auto byte = [&](std::size_t i) { return std::uint8_t(name[i]); };
    for (std::size_t i = 0; i < name.size();) {
        const std::uint8_t lead = byte(i);
        std::size_t length = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
        std::uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            if (i + k >= name.size() || (byte(i + k) & 0xC0) != 0x80) {
                length = 0;
                break;
            }
            code = (code << 6) | (byte(i + k) & 0x3F);
        }
        // Overlong forms and surrogates are not UTF-8 either.
        static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (length == 0 || code < kLeast[length] || (code >= 0xD800 && code < 0xE000) ||
            code > 0x10FFFF) {
            units.push_back(kStrayByteBase + lead);
            ++i;
            continue;
        }
        i += length;
        if (code < 0x10000) {
            const char32_t upper = QChar::toUpper(char32_t(code));
            units.push_back(upper < 0x10000 ? std::uint32_t(upper) : code);
        } else {
            code -= 0x10000;
            units.push_back(0xD800 + (code >> 10));
            units.push_back(0xDC00 + (code & 0x3FF));
        }
    }
    return units;
}

} // namespace

bool comesBeforeByName(const std::string& a, const std::string& b) {
    const std::vector<std::uint32_t> upperA = upperCaseUnits(a);
    const std::vector<std::uint32_t> upperB = upperCaseUnits(b);
    if (upperA != upperB)
        return upperA < upperB;
    return a < b;
}

} // namespace pagesmith
