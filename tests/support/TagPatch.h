#pragma once

#include <cstdint>
#include <filesystem>

namespace pagesmith::test {

// In-place edits of the first directory of a classic TIFF file, for fixtures
// libtiff refuses to write. Each fails the current test when the file has no
// entry with that tag.

// Gives the entry another tag number, so the page lacks `tag` (libtiff always
// writes Compression, for instance).
void renumberFirstPageTag(const std::filesystem::path& path, std::uint16_t tag,
                          std::uint16_t newTag);

// Overwrites the value of a one-value SHORT or LONG entry.
void setFirstPageTagValue(const std::filesystem::path& path, std::uint16_t tag,
                          std::uint32_t value);

} // namespace pagesmith::test
