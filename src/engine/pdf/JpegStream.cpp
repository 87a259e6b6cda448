#include "engine/pdf/JpegStream.h"

#include <algorithm>
#include <cstring>

namespace pagesmith {

namespace {

constexpr std::uint8_t kMarker = 0xFF;
constexpr std::uint8_t kStartOfImage = 0xD8;
constexpr std::uint8_t kEndOfImage = 0xD9;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kRestartInterval = 0xDD;
constexpr std::uint8_t kFirstRestart = 0xD0;
constexpr std::uint8_t kLastRestart = 0xD7;
constexpr std::uint8_t kAdobe = 0xEE;

bool isFrame(std::uint8_t marker) {
    // SOF0 to SOF15, less DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::uint32_t bigEndian16(const std::uint8_t* bytes) {
    return std::uint32_t(bytes[0]) << 8 | bytes[1];
}

bool readFrame(const std::uint8_t* segment, std::size_t length, JpegHead& head) {
    // Marker, length, precision, height, width, component count, then three
    // bytes a component.
    if (length < 10)
        return false;
    head.precision = segment[4];
    head.height = bigEndian16(segment + 5);
    head.width = bigEndian16(segment + 7);
    const std::size_t count = segment[9];
    if (count == 0 || length < 10 + 3 * count)
        return false;
    head.components.clear();
    for (std::size_t c = 0; c < count; ++c) {
        const std::uint8_t* entry = segment + 10 + 3 * c;
        const std::uint8_t h = entry[1] >> 4, v = entry[1] & 15;
        if (h == 0 || v == 0)
            return false;
        head.components.push_back({entry[0], h, v});
    }
    return true;
}

void readAdobe(const std::uint8_t* segment, std::size_t length, JpegHead& head) {
    // "Adobe", version, two flag words, then the transform.
    if (length >= 16 && std::memcmp(segment + 4, "Adobe", 5) == 0) {
        head.adobe = true;
        head.adobeTransform = segment[15];
    }
}

} // namespace

bool JpegHead::sequential() const {
    return (frameMarker == 0xC0 || frameMarker == 0xC1) && precision == 8;
}

std::uint32_t JpegHead::mcuWidth() const {
    std::uint32_t most = 1;
    for (const Component& c : components)
        most = std::max<std::uint32_t>(most, c.horizontal);
    // A scan of one component codes it block by block, whatever its sampling.
    return components.size() == 1 ? 8 : 8 * most;
}

std::uint32_t JpegHead::mcuHeight() const {
    std::uint32_t most = 1;
    for (const Component& c : components)
        most = std::max<std::uint32_t>(most, c.vertical);
    return components.size() == 1 ? 8 : 8 * most;
}

bool readJpegHead(const std::uint8_t* data, std::size_t size, JpegHead& head, bool tablesOnly) {
    head = JpegHead{};
    if (size < 4 || data[0] != kMarker || data[1] != kStartOfImage)
        return false;
    std::size_t at = 2;
    while (at + 1 < size) {
        if (data[at] != kMarker)
            return false;
        const std::uint8_t marker = data[at + 1];
        if (marker == kMarker) { // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == kEndOfImage)
            return tablesOnly;
        if (at + 4 > size)
            return false;
        const std::size_t length = 2 + bigEndian16(data + at + 2);
        if (length < 4 || at + length > size)
            return false;
        const std::uint8_t* segment = data + at;
        if (marker == kStartOfScan) {
            if (tablesOnly || head.frame.empty() || length < 5)
                return false;
            head.scan.assign(reinterpret_cast<const char*>(segment), length);
            head.scanComponents = segment[4];
            head.scanData = at + length;
            return true;
        }
        if (isFrame(marker)) {
            head.frameMarker = marker;
            head.frame.assign(reinterpret_cast<const char*>(segment), length);
            if (!readFrame(segment, length, head))
                return false;
        } else if (marker == kRestartInterval) {
            if (length < 6)
                return false;
            head.restartInterval = bigEndian16(segment + 4);
        } else {
            if (marker == kAdobe)
                readAdobe(segment, length, head);
            head.tables.append(reinterpret_cast<const char*>(segment), length);
        }
        at += length;
    }
    return false;
}

std::string frameWithHeight(const std::string& frame, std::uint32_t height) {
    std::string changed = frame;
    changed[5] = char((height >> 8) & 0xFF);
    changed[6] = char(height & 0xFF);
    return changed;
}

std::string restartSegment(std::uint32_t mcus) {
    const char segment[] = {
        char(kMarker), char(kRestartInterval), 0, 4, char((mcus >> 8) & 0xFF), char(mcus & 0xFF)};
    return std::string(segment, sizeof segment);
}

std::size_t renumberRestarts(std::uint8_t* data, std::size_t size, std::size_t start,
                             unsigned& nextRestart) {
    std::size_t at = start;
    while (at + 1 < size) {
        const auto* found =
            static_cast<const std::uint8_t*>(std::memchr(data + at, kMarker, size - at - 1));
        if (!found)
            return size;
        at = std::size_t(found - data);
        const std::uint8_t next = data[at + 1];
        if (next == 0x00) { // a coded 0xFF byte
            at += 2;
        } else if (next == kMarker) { // a fill byte
            at += 1;
        } else if (next >= kFirstRestart && next <= kLastRestart) {
            data[at + 1] = std::uint8_t(kFirstRestart + (nextRestart++ & 7));
            at += 2;
        } else {
            return at;
        }
    }
    return size;
}

} // namespace pagesmith
