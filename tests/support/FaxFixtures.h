#pragma once

#include "support/TiffFixtures.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace pagesmith::test {

// A page of 8-bit samples that all hold `value`.
TestPage uniformPage(std::uint32_t width, std::uint32_t length, std::uint16_t samplesPerPixel,
                     std::uint16_t photometric, std::uint8_t value);

// Bytes as "A0 5F ", for comparing one-bit rows.
std::string hexBytes(const std::vector<std::uint8_t>& bytes);

// Overwrites the stored bytes of one strip of the first page with 0xFF, so
// that a compressed strip no longer decodes (fails the current test when the
// page has no such strip).
void damageStrip(const std::filesystem::path& path, std::uint32_t strip);

} // namespace pagesmith::test
