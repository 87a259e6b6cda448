#include "tiff/RawDirectory.h"

#include "platform/NativeFile.h"

#include <cstring>
#include <optional>

namespace pagesmith {

namespace {

constexpr std::size_t kEntryBytes = 12;
constexpr std::uint16_t kDoubleType = 12;
// A chain longer than this is taken for a loop.
constexpr int kMostDirectories = 1 << 20;

// Reads and writes numbers of the file in its own byte order.
class ClassicFile {
public:
    explicit ClassicFile(TIFF* tif)
        : m_file(tif ? TIFFFileno(tif) : platform::kNoFile),
          m_swapped(tif && TIFFIsByteSwapped(tif)),
          m_valid(tif && !TIFFIsBigTIFF(tif) && m_file != platform::kNoFile) {}

    bool valid() const { return m_valid; }

    std::optional<std::uint32_t> read(std::uint64_t offset, int size) const {
        unsigned char bytes[4] = {};
        if (!platform::readFileAt(m_file, offset, bytes, std::size_t(size)))
            return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i)
            value |= std::uint32_t(bytes[i]) << (8 * (order(i, size)));
        return value;
    }

    bool write(std::uint64_t offset, int size, std::uint64_t value) const {
        unsigned char bytes[8] = {};
        for (int i = 0; i < size; ++i)
            bytes[i] = static_cast<unsigned char>(value >> (8 * order(i, size)));
        return platform::writeFileAt(m_file, offset, bytes, std::size_t(size));
    }

    std::optional<std::uint64_t> size() const { return platform::fileSize(m_file); }

    // The entry for `tag` in the directory at `directory`; 0 when none.
    std::uint64_t findEntry(std::uint64_t directory, std::uint16_t tag) const {
        const auto count = read(directory, 2);
        for (std::uint32_t i = 0; count && i < *count; ++i) {
            const std::uint64_t entry = directory + 2 + i * kEntryBytes;
            const auto entryTag = read(entry, 2);
            if (!entryTag)
                return 0;
            if (*entryTag == tag)
                return entry;
        }
        return 0;
    }

private:
    // The shift of byte i of a number of `size` bytes.
    int order(int i, int size) const {
        const bool bigEndian =
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
            !m_swapped;
#else
            m_swapped;
#endif
        return bigEndian ? size - 1 - i : i;
    }

    platform::FileNumber m_file;
    bool m_swapped;
    bool m_valid;
};

} // namespace

std::uint16_t storedFieldType(TIFF* tif, std::uint16_t tag) {
    const ClassicFile file(tif);
    if (!file.valid())
        return 0;
    const std::uint64_t entry = file.findEntry(TIFFCurrentDirOffset(tif), tag);
    if (entry == 0)
        return 0;
    return std::uint16_t(file.read(entry + 2, 2).value_or(0));
}

bool rewriteLastEntryAsDoubles(TIFF* tif, std::uint16_t tag, const std::vector<double>& values) {
    const ClassicFile file(tif);
    const auto end = file.valid() ? file.size() : std::nullopt;
    if (!end || values.empty())
        return false;
    std::optional<std::uint32_t> directory = file.read(4, 4);
    for (int walked = 0; directory && *directory != 0 && walked < kMostDirectories; ++walked) {
        const auto count = file.read(*directory, 2);
        const auto next =
            count ? file.read(*directory + 2 + *count * kEntryBytes, 4) : std::nullopt;
        if (!next)
            return false;
        if (*next != 0) {
            directory = next;
            continue;
        }
        const std::uint64_t entry = file.findEntry(*directory, tag);
        if (entry == 0)
            return true; // the page does not carry the tag: nothing to keep
        // The values at the end of the file, on a word boundary.
        const std::uint64_t first = (*end + 1) & ~std::uint64_t(1);
        for (std::size_t i = 0; i < values.size(); ++i) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, &values[i], sizeof bits);
            if (!file.write(first + 8 * i, 8, bits))
                return false;
        }
        return first <= 0xFFFFFFFFu && file.write(entry + 2, 2, kDoubleType) &&
               file.write(entry + 4, 4, values.size()) && file.write(entry + 8, 4, first);
    }
    return false;
}

} // namespace pagesmith
