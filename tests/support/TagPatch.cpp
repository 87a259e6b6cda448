#include "support/TagPatch.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace pagesmith::test {

namespace {

constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;

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

    // Offset of the first directory's entry for tag, 0 when there is none.
    std::size_t findEntry(std::uint16_t tag) const {
        const std::size_t directory = read(4, 4);
        if (directory + 2 > m_bytes.size())
            return 0;
        const std::size_t count = read(directory, 2);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t entry = directory + 2 + i * 12;
            if (entry + 12 > m_bytes.size())
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
    const std::size_t entry = file.findEntry(tag);
    ASSERT_NE(entry, 0u) << path << " has no tag " << tag;
    file.write(entry, 2, newTag);
    file.save(path);
}

void setFirstPageTagValue(const std::filesystem::path& path, std::uint16_t tag,
                          std::uint32_t value) {
    ClassicTiffBytes file(path);
    ASSERT_TRUE(file.valid()) << path << " is not a classic TIFF file";
    const std::size_t entry = file.findEntry(tag);
    ASSERT_NE(entry, 0u) << path << " has no tag " << tag;
    const std::uint32_t type = file.read(entry + 2, 2);
    ASSERT_TRUE((type == kShort || type == kLong) && file.read(entry + 4, 4) == 1)
        << "tag " << tag << " of " << path << " is not one SHORT or LONG";
    file.write(entry + 8, type == kShort ? 2 : 4, value);
    file.save(path);
}

} // namespace pagesmith::test
