#include "support/TagPatch.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace pagesmith::test {

namespace {

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
constexpr std::uint16_t kDouble = 12;
constexpr std::size_t kEntryBytes = 12;

class ClassicTiffBytes {
public:
    explicit ClassicTiffBytes(const std::filesystem::path& path) : m_bytes(readTextFile(path)) {
        m_bigEndian = m_bytes.size() >= 8 && m_bytes[0] == 'M';
    }

    bool valid() const {
        return m_bytes.size() >= 8 &&
               (m_bytes.compare(0, 2, "II") == 0 || m_bytes.compare(0, 2, "MM") == 0) &&
               read(2, 2) == 42;
    }

    // Offset of the page's directory, 0 when the chain has no such page.
    std::size_t directory(int page) const {
        std::size_t offset = read(4, 4);
        for (int i = 0; i < page && offset != 0; ++i) {
            if (offset + 2 > m_bytes.size())
                return 0;
            offset = read(offset + 2 + read(offset, 2) * kEntryBytes, 4);
        }
        return offset + 2 <= m_bytes.size() ? offset : 0;
    }

    std::size_t entryCount(std::size_t directory) const { return read(directory, 2); }

    // Offset of the page's entry for tag, 0 when there is none.
    std::size_t findEntry(int page, std::uint16_t tag) const {
        const std::size_t start = directory(page);
        if (start == 0)
            return 0;
        for (std::size_t i = 0; i < entryCount(start); ++i) {
            const std::size_t entry = start + 2 + i * kEntryBytes;
            if (entry + kEntryBytes > m_bytes.size())
                return 0;
            if (read(entry, 2) == tag)
                return entry;
        }
        return 0;
    }

    std::uint32_t read(std::size_t offset, int size) const {
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i) {
            const auto byte = static_cast<std::uint8_t>(m_bytes[offset + i]);
            value |= std::uint32_t(byte) << (8 * (m_bigEndian ? size - 1 - i : i));
        }
        return value;
    }

    void write(std::size_t offset, int size, std::uint32_t value) {
        for (int i = 0; i < size; ++i)
            m_bytes[offset + i] =
                static_cast<char>(value >> (8 * (m_bigEndian ? size - 1 - i : i)) & 0xFF);
    }

    // Appends a double in the file's byte order, at an even offset; where it went.
    std::size_t appendDouble(double value) {
        if (m_bytes.size() % 2)
            m_bytes += '\0';
        const std::size_t offset = m_bytes.size();
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        m_bytes.append(8, '\0');
        for (int i = 0; i < 8; ++i)
            m_bytes[offset + i] = static_cast<char>(bits >> (8 * (m_bigEndian ? 7 - i : i)) & 0xFF);
        return offset;
    }

    void save(const std::filesystem::path& path) const { writeTextFile(path, m_bytes); }

private:
    std::string m_bytes;
    bool m_bigEndian = false;
};

} // namespace

void renumberFirstPageTag(const std::filesystem::path& path, std::uint16_t tag,
                          std::uint16_t newTag) {
    ClassicTiffBytes file(path);
    ASSERT_TRUE(file.valid()) << path << " is not a classic TIFF file";
    const std::size_t entry = file.findEntry(0, tag);
    ASSERT_NE(entry, 0u) << path << " has no tag " << tag;
    file.write(entry, 2, newTag);
    file.save(path);
}

void setFirstPageTagValue(const std::filesystem::path& path, std::uint16_t tag,
                          std::uint32_t value) {
    setPageTagValue(path, 0, tag, value);
}

void setPageTagValue(const std::filesystem::path& path, int page, std::uint16_t tag,
                     std::uint32_t value) {
    ClassicTiffBytes file(path);
    ASSERT_TRUE(file.valid()) << path << " is not a classic TIFF file";
    const std::size_t entry = file.findEntry(page, tag);
    ASSERT_NE(entry, 0u) << path << " has no tag " << tag << " on page " << page;
    const std::uint32_t type = file.read(entry + 2, 2);
    ASSERT_TRUE((type == kShort || type == kLong) && file.read(entry + 4, 4) == 1)
        << "tag " << tag << " of " << path << " is not one SHORT or LONG";
    file.write(entry + 8, type == kShort ? 2 : 4, value);
    file.save(path);
}

void setPageTagElement(const std::filesystem::path& path, int page, std::uint16_t tag,
                       std::size_t index, std::uint32_t value) {
    ClassicTiffBytes file(path);
    ASSERT_TRUE(file.valid()) << path << " is not a classic TIFF file";
    const std::size_t entry = file.findEntry(page, tag);
    ASSERT_NE(entry, 0u) << path << " has no tag " << tag << " on page " << page;
    const std::uint32_t type = file.read(entry + 2, 2);
    const std::uint32_t count = file.read(entry + 4, 4);
    ASSERT_TRUE((type == kShort || type == kLong) && index < count)
        << "tag " << tag << " of " << path << " has no SHORT or LONG element " << index;
    const int size = type == kShort ? 2 : 4;
    const bool inline_ = count * size <= 4;
    const std::size_t values = inline_ ? entry + 8 : file.read(entry + 8, 4);
    file.write(values + index * size, size, value);
    file.save(path);
}

void clearPageEntryTypes(const std::filesystem::path& path, int page) {
    ClassicTiffBytes file(path);
    ASSERT_TRUE(file.valid()) << path << " is not a classic TIFF file";
    const std::size_t start = file.directory(page);
    ASSERT_NE(start, 0u) << path << " has no page " << page;
    for (std::size_t i = 0; i < file.entryCount(start); ++i)
        file.write(start + 2 + i * kEntryBytes + 2, 2, 0);
    file.save(path);
}

void setNextDirectory(const std::filesystem::path& path, int page, std::uint32_t offset) {
    ClassicTiffBytes file(path);
    ASSERT_TRUE(file.valid()) << path << " is not a classic TIFF file";
    const std::size_t start = file.directory(page);
    ASSERT_NE(start, 0u) << path << " has no page " << page;
    file.write(start + 2 + file.entryCount(start) * kEntryBytes, 4, offset);
    file.save(path);
}

void setPageTagDoubles(const std::filesystem::path& path, int page, std::uint16_t tag,
                       const std::vector<double>& values) {
    ClassicTiffBytes file(path);
    ASSERT_TRUE(file.valid()) << path << " is not a classic TIFF file";
    ASSERT_FALSE(values.empty());
    const std::size_t entry = file.findEntry(page, tag);
    ASSERT_NE(entry, 0u) << path << " has no tag " << tag << " on page " << page;
    std::size_t first = 0;
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::size_t at = file.appendDouble(values[i]);
        if (i == 0)
            first = at;
    }
    file.write(entry + 2, 2, kDouble);
    file.write(entry + 4, 4, std::uint32_t(values.size()));
    file.write(entry + 8, 4, std::uint32_t(first));
    file.save(path);
}

std::uint16_t pageTagType(const std::filesystem::path& path, int page, std::uint16_t tag) {
    ClassicTiffBytes file(path);
    if (!file.valid())
        return 0;
    const std::size_t entry = file.findEntry(page, tag);
    return entry == 0 ? 0 : std::uint16_t(file.read(entry + 2, 2));
}

} // namespace pagesmith::test
