#pragma once

#include <cstdint>
#include <filesystem>

namespace pagesmith::test {

// Overwrites the stored bytes of one strip of the first page with 0xFF, so
// that a compressed strip no longer decodes (fails the current test when the
// page has no such strip).
void damageStrip(const std::filesystem::path& path, std::uint32_t strip);

} // namespace pagesmith::test
