#include "engine/pdf/StoredStrips.h"

#include "base/MemoryLimits.h"
#include "platform/Utf8Paths.h"

#include <algorithm>
#include <filesystem>

namespace pagesmith {

std::uint32_t StoredStrips::rowsOf(std::uint32_t strip) const {
    const std::uint64_t first = std::uint64_t(strip) * rowsPerStrip;
    if (first >= length)
        return 0;
    return std::uint32_t(std::min<std::uint64_t>(rowsPerStrip, length - first));
}

bool storedStripsOf(TIFF* in, const std::string& path, StoredStrips& strips) {
    if (TIFFIsTiled(in))
        return false;
    std::uint32_t length = 0, rowsPerStrip = 0;
    if (!TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length) || length == 0)
        return false;
    TIFFGetFieldDefaulted(in, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    strips.length = length;
    strips.rowsPerStrip = std::clamp<std::uint32_t>(rowsPerStrip, 1, length);
    strips.count = TIFFNumberOfStrips(in);
    // Strips as the page's rows ask for them, no more and no fewer.
    const std::uint64_t expected =
        (std::uint64_t(length) + strips.rowsPerStrip - 1) / strips.rowsPerStrip;
    if (strips.count == 0 || strips.count != expected)
        return false;
    std::error_code error;
    const std::uint64_t fileSize = std::filesystem::file_size(platform::pathFromUtf8(path), error);
    if (error)
        return false;
    for (std::uint32_t strip = 0; strip < strips.count; ++strip) {
        const std::uint64_t offset = TIFFGetStrileOffset(in, strip);
        const std::uint64_t size = TIFFGetStrileByteCount(in, strip);
        if (size == 0 || size > kMaxAllocationBytes || offset > fileSize ||
            size > fileSize - offset)
            return false;
    }
    return true;
}

std::vector<StripGroup> stripGroups(TIFF* in, const StoredStrips& strips) {
    std::vector<StripGroup> groups;
    std::uint64_t bytes = 0;
    for (std::uint32_t strip = 0; strip < strips.count; ++strip) {
        const std::uint64_t size = TIFFGetStrileByteCount(in, strip);
        if (groups.empty() || bytes + size > kMostPdfImageBytes) {
            groups.push_back({strip, 0});
            bytes = 0;
        }
        ++groups.back().count;
        bytes += size;
    }
    return groups;
}

bool readStripHead(TIFF* in, std::uint32_t strip, std::size_t size,
                   std::vector<std::uint8_t>& bytes) {
    const std::uint64_t stored = TIFFGetStrileByteCount(in, strip);
    if (stored == 0 || stored > kMaxAllocationBytes)
        return false;
    bytes.resize(std::size_t(std::min<std::uint64_t>(stored, size)));
    const tmsize_t read = TIFFReadRawStrip(in, strip, bytes.data(), tmsize_t(bytes.size()));
    if (read < 0)
        return false;
    bytes.resize(std::size_t(read));
    return !bytes.empty();
}

bool readWholeStrip(TIFF* in, std::uint32_t strip, std::vector<std::uint8_t>& bytes) {
    return readStripHead(in, strip, kMaxAllocationBytes, bytes);
}

} // namespace pagesmith
