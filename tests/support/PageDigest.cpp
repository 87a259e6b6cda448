#include "support/PageDigest.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace pagesmith::test {

namespace {

constexpr std::uint16_t kStripOffsets = 273, kStripByteCounts = 279;
constexpr std::uint16_t kTileOffsets = 324, kTileByteCounts = 325;

// 64-bit FNV-1a.
class Digest {
public:
    void add(const std::uint8_t* bytes, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i)
            m_value = (m_value ^ bytes[i]) * 0x100000001B3ull;
    }
    void add(std::uint64_t number) {
        for (int i = 0; i < 8; ++i) {
            const std::uint8_t byte = std::uint8_t(number >> (8 * i));
            add(&byte, 1);
        }
    }
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0xCBF29CE484222325ull;
};

class TiffBytes {
public:
    explicit TiffBytes(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        m_bytes.assign(std::istreambuf_iterator<char>(file), {});
        m_bigEndian = m_bytes.size() >= 2 && m_bytes[0] == 'M';
    }
    bool classic() const { return m_bytes.size() >= 8 && number(2, 2) == 42; }
    std::optional<std::uint64_t> number(std::size_t at, int size) const {
        if (at + size > m_bytes.size())
            return std::nullopt;
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) {
            const std::uint8_t byte = std::uint8_t(m_bytes[at + (m_bigEndian ? i : size - 1 - i)]);
            value = (value << 8) | byte;
        }
        return value;
    }
    const std::uint8_t* at(std::size_t offset, std::size_t count) const {
        return offset + count <= m_bytes.size()
                   ? reinterpret_cast<const std::uint8_t*>(m_bytes.data()) + offset
                   : nullptr;
    }

private:
    std::string m_bytes;
    bool m_bigEndian = false;
};

int typeSize(std::uint64_t type) {
    static const int sizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
    return type < std::size(sizes) ? sizes[type] : 0;
}

struct Entry {
    std::uint16_t tag = 0;
    std::uint64_t type = 0, count = 0;
    std::size_t valueAt = 0; // where the value's bytes are
};

// The values of an offsets or byte-count entry.
std::vector<std::uint64_t> values(const TiffBytes& tiff, const Entry& entry) {
    std::vector<std::uint64_t> result;
    const int size = typeSize(entry.type);
    for (std::uint64_t i = 0; i < entry.count && size; ++i)
        if (const auto v = tiff.number(entry.valueAt + i * size, size))
            result.push_back(*v);
    return result;
}

std::optional<std::uint64_t> pageDigest(const TiffBytes& tiff, std::size_t ifd, std::size_t& next) {
    const auto count = tiff.number(ifd, 2);
    if (!count)
        return std::nullopt;
    std::vector<Entry> entries;
    for (std::uint64_t i = 0; i < *count; ++i) {
        const std::size_t at = ifd + 2 + i * 12;
        Entry entry;
        entry.tag = std::uint16_t(tiff.number(at, 2).value_or(0));
        entry.type = tiff.number(at + 2, 2).value_or(0);
        entry.count = tiff.number(at + 4, 4).value_or(0);
        const std::uint64_t bytes = entry.count * typeSize(entry.type);
        entry.valueAt = bytes <= 4 ? at + 8 : std::size_t(tiff.number(at + 8, 4).value_or(0));
        entries.push_back(entry);
    }
    next = std::size_t(tiff.number(ifd + 2 + *count * 12, 4).value_or(0));

    Digest digest;
    std::vector<std::uint64_t> offsets, sizes;
    for (const Entry& entry : entries) {
        digest.add(entry.tag);
        digest.add(entry.type);
        digest.add(entry.count);
        if (entry.tag == kStripOffsets || entry.tag == kTileOffsets) {
            offsets = values(tiff, entry);
            continue;
        }
        if (entry.tag == kStripByteCounts || entry.tag == kTileByteCounts)
            sizes = values(tiff, entry);
        const std::size_t bytes = std::size_t(entry.count * typeSize(entry.type));
        if (const std::uint8_t* value = tiff.at(entry.valueAt, bytes))
            digest.add(value, bytes);
    }
    for (std::size_t i = 0; i < offsets.size() && i < sizes.size(); ++i)
        if (const std::uint8_t* data = tiff.at(std::size_t(offsets[i]), std::size_t(sizes[i])))
            digest.add(data, std::size_t(sizes[i]));
    return digest.value();
}

} // namespace

std::vector<std::uint64_t> pageDigests(const std::filesystem::path& path) {
    std::vector<std::uint64_t> digests;
    const TiffBytes tiff(path);
    if (!tiff.classic())
        return digests;
    std::size_t ifd = std::size_t(tiff.number(4, 4).value_or(0));
    // A loop of directories ends after as many pages as the file has bytes.
    while (ifd != 0 && digests.size() < 100000) {
        std::size_t next = 0;
        const auto digest = pageDigest(tiff, ifd, next);
        if (!digest)
            break;
        digests.push_back(*digest);
        ifd = next;
    }
    return digests;
}

std::uint64_t leadingPagesDigest(const std::filesystem::path& path, int pages) {
    const std::vector<std::uint64_t> digests = pageDigests(path);
    if (pages <= 0 || digests.size() < std::size_t(pages))
        return 0;
    Digest digest;
    for (int i = 0; i < pages; ++i)
        digest.add(digests[std::size_t(i)]);
    return digest.value();
}

} // namespace pagesmith::test
