#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagesmith {

// What a JPEG stream says before its first scan, read marker by marker
// without decoding anything.
struct JpegHead {
    struct Component {
        std::uint8_t id = 0;
        std::uint8_t horizontal = 1; // sampling factors
        std::uint8_t vertical = 1;
    };

    std::string tables; // every segment before the scan but the frame and DRI, as stored
    std::string frame;  // the SOFn segment, marker included
    std::string scan;   // the SOS segment, marker included
    std::uint8_t frameMarker = 0;
    int precision = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<Component> components;
    int scanComponents = 0;
    std::uint32_t restartInterval = 0; // 0: none
    bool adobe = false;                // an Adobe APP14 segment is present
    int adobeTransform = -1;           // its colour transform: 0 none, 1 YCbCr, 2 YCCK
    std::size_t scanData = 0;          // where the scan's coded data begins

    // Baseline or extended sequential Huffman coding of 8-bit samples: what
    // PDF readers take, and what restart markers can join.
    bool sequential() const;
    // Pixels an MCU covers, across and down.
    std::uint32_t mcuWidth() const;
    std::uint32_t mcuHeight() const;
};

// Reads a stream from its SOI up to its first SOS; false when the markers do
// not lead there. A stream of tables alone (SOI, tables, EOI, as TIFF's
// JPEGTables holds them) is read with `tablesOnly`.
bool readJpegHead(const std::uint8_t* data, std::size_t size, JpegHead& head,
                  bool tablesOnly = false);

// The marker segments of an SOF with its height replaced.
std::string frameWithHeight(const std::string& frame, std::uint32_t height);

// The DRI segment for an interval of `mcus` MCUs.
std::string restartSegment(std::uint32_t mcus);

// Finds the end of the coded data that begins at `start` (the marker that is
// not a restart marker), renumbering the restart markers on the way so that
// they go on from `nextRestart`, which is left at the number that follows.
// Returns the end; `size` when no marker ends the data.
std::size_t renumberRestarts(std::uint8_t* data, std::size_t size, std::size_t start,
                             unsigned& nextRestart);

} // namespace pagesmith
