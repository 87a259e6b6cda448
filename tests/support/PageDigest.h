#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace pagesmith::test {

// A digest of each page of a classic TIFF file, read from the file's bytes
// rather than through libtiff: every directory entry (tag, type, count and
// value) and the stored bytes of every strip or tile. Where the strips lie
// does not count, so two files whose pages are stored byte for byte alike
// give the same digests. Empty for a file that is missing or no classic TIFF.
std::vector<std::uint64_t> pageDigests(const std::filesystem::path& path);

// One digest of the first `pages` of those, 0 when the file has fewer.
std::uint64_t leadingPagesDigest(const std::filesystem::path& path, int pages);

} // namespace pagesmith::test
