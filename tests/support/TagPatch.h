#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace pagesmith::test {

// In-place edits of the directories of a classic TIFF file, for fixtures
// libtiff refuses to write. Pages count from 0 along the directory chain.
// Each fails the current test when the file has no such page or entry.

// Gives the entry another tag number, so the page lacks `tag` (libtiff always
// writes Compression, for instance).
void renumberFirstPageTag(const std::filesystem::path& path, std::uint16_t tag,
                          std::uint16_t newTag);

// Overwrites the value of a one-value SHORT or LONG entry.
void setFirstPageTagValue(const std::filesystem::path& path, std::uint16_t tag,
                          std::uint32_t value);
void setPageTagValue(const std::filesystem::path& path, int page, std::uint16_t tag,
                     std::uint32_t value);

// Overwrites element `index` of a SHORT or LONG entry, held in the entry or
// out of it (StripByteCounts of a page of several strips).
void setPageTagElement(const std::filesystem::path& path, int page, std::uint16_t tag,
                       std::size_t index, std::uint32_t value);

// Gives every entry of the page's directory the type 0, which no reader knows.
void clearPageEntryTypes(const std::filesystem::path& path, int page);

// Makes the page's directory link on to `offset` (0 ends the chain there).
void setNextDirectory(const std::filesystem::path& path, int page, std::uint32_t offset);

// Stores the entry as DOUBLE values, written at the end of the file.
void setPageTagDoubles(const std::filesystem::path& path, int page, std::uint16_t tag,
                       const std::vector<double>& values);

// The field type of the page's entry for `tag`; 0 when it has none.
std::uint16_t pageTagType(const std::filesystem::path& path, int page, std::uint16_t tag);

} // namespace pagesmith::test
