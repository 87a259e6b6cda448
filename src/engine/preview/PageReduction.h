#pragma once

#include "engine/preview/ShownPage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagesmith {

// The source pixels that shown pixel `index` of an axis covers, where
// `source` pixels are shown as `shown`: from index * source / shown up to
// (index + 1) * source / shown, rounded down, and at least one.
struct Span {
    std::uint32_t first = 0;
    std::uint32_t end = 0;
    bool operator==(const Span&) const = default;
};
Span spanOf(std::uint32_t index, std::uint32_t source, std::uint32_t shown);

// A shown pixel takes at most this many source pixels along each axis,
// spread evenly over its span: a page shown much smaller is sampled rather
// than read whole, and still looks like its average.
constexpr std::uint32_t kMostSamplesPerAxis = 4;

// The source pixels of a span that a shown pixel takes: all of them, or
// kMostSamplesPerAxis at the middles of equal parts of it.
std::vector<std::uint32_t> samplesOf(Span span);

// Turns rows of a page, handed over top to bottom, into a region of the page
// as shown: each shown pixel the rounded average of the source pixels it
// takes (samplesOf, along both axes), written as 0xFFRRGGBB. Holds one row
// of sums, never the page.
class PageReduction {
public:
    // A page of sourceWidth x sourceLength pixels of `channels` samples (1:
    // grey, 3: RGB) is shown as `shown`; the rows of shown.region are written
    // to `out`, `stride` pixels apart. Only the region's rows from
    // firstShownRow (of the region) up to endShownRow are made.
    PageReduction(std::uint32_t sourceWidth, std::uint32_t sourceLength, const ShownPage& shown,
                  std::uint16_t channels, std::uint32_t* out, std::size_t stride,
                  std::uint32_t firstShownRow, std::uint32_t endShownRow);

    // The source rows it takes, in order: only these are to be read, and
    // each is handed to addRow in this order.
    const std::vector<std::uint32_t>& rows() const { return m_rows; }

    // Takes the next row of rows(): sourceWidth x channels samples.
    void addRow(const std::uint8_t* samples);
    // Whether every shown row is made.
    bool done() const { return m_group >= m_groups.size(); }

private:
    // Shown rows that take the same source rows (more than one only where
    // the page is shown taller than it is).
    struct Group {
        std::uint32_t firstShownRow;
        std::uint32_t endShownRow;
        std::uint32_t rowCount; // source rows taken
    };

    void addColumns(const std::uint8_t* samples);
    void writeGroup(const Group& group);

    std::uint16_t m_channels;
    std::uint32_t* m_out;
    std::size_t m_stride;
    std::uint32_t m_width;                   // shown pixels a row
    std::vector<std::uint32_t> m_columns;    // source columns taken, shown pixel by pixel
    std::vector<std::uint32_t> m_columnEnds; // where each shown pixel's columns end
    std::vector<std::uint32_t> m_rows;
    std::vector<Group> m_groups;
    std::vector<std::uint32_t> m_sums; // the group in hand, width x channels
    std::size_t m_group = 0;
    std::uint32_t m_rowsInGroup = 0;
};

} // namespace pagesmith
