#include "engine/preview/PageReduction.h"

#include <gtest/gtest.h>

#include <numeric>

namespace pagesmith {
namespace {

TEST(PageReduction, SpansCoverEverySourcePixelOnceOrRepeatOne) {
    struct SpanCase {
        std::uint32_t source, shown;
        std::vector<Span> spans;
    };
    const SpanCase cases[] = {
        {10, 4, {{0, 2}, {2, 5}, {5, 7}, {7, 10}}},
        {6, 3, {{0, 2}, {2, 4}, {4, 6}}},
        {2, 5, {{0, 1}, {0, 1}, {0, 1}, {1, 2}, {1, 2}}},
        {3, 3, {{0, 1}, {1, 2}, {2, 3}}},
    };
    for (const SpanCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.source) + " as " + std::to_string(c.shown));
        for (std::uint32_t i = 0; i < c.shown; ++i)
            EXPECT_EQ(spanOf(i, c.source, c.shown), c.spans[i]) << i;
    }
    // Ten source pixels for one shown pixel: four, at the middles of quarters.
    EXPECT_EQ(samplesOf({20, 30}), (std::vector<std::uint32_t>{21, 23, 26, 28}));
    EXPECT_EQ(samplesOf({5, 8}), (std::vector<std::uint32_t>{5, 6, 7}));
}

// A page of `width` x `length` grey or RGB samples shown as `shown`.
std::vector<std::uint32_t> reduce(const std::vector<std::uint8_t>& samples, std::uint32_t width,
                                  std::uint32_t length, std::uint16_t channels, ShownPage shown,
                                  std::uint32_t firstRow = 0, std::uint32_t endRow = ~0u) {
    std::vector<std::uint32_t> out(std::size_t(shown.region.width) * shown.region.length, 0);
    PageReduction reduction(width, length, shown, channels, out.data(), shown.region.width,
                            firstRow, endRow);
    const std::size_t rowSamples = std::size_t(width) * channels;
    for (std::uint32_t row : reduction.rows())
        reduction.addRow(samples.data() + row * rowSamples);
    EXPECT_TRUE(reduction.done());
    return out;
}

ShownPage whole(std::uint32_t width, std::uint32_t length) {
    return {width, length, {0, 0, width, length}};
}

constexpr std::uint32_t grey(std::uint32_t v) {
    return 0xFF000000u | v << 16 | v << 8 | v;
}

struct ReductionCase {
    const char* name;
    std::uint32_t width, length;
    std::uint16_t channels;
    std::vector<std::uint8_t> samples;
    ShownPage shown;
    std::vector<std::uint32_t> pixels; // worked out by hand
};

TEST(PageReduction, AveragesTheSourcePixelsOfEachShownPixel) {
    const ReductionCase cases[] = {
        // (10 + 20 + 50 + 60) / 4 = 35; (30 + 40 + 70 + 80) / 4 = 55.
        {"grey halved",
         4,
         2,
         1,
         {10, 20, 30, 40, 50, 60, 70, 80},
         whole(2, 1),
         {grey(35), grey(55)}},
        // Red (0 + 255 + 255) / 3 = 170, green (255 + 0 + 0) / 3 = 85, blue 0.
        {"three columns in one",
         3,
         1,
         3,
         {0, 255, 0, 255, 0, 0, 255, 0, 0},
         whole(1, 1),
         {0xFFAA5500}},
        // 1 and 2 average to 1.5, which rounds up.
        {"rounded to the nearest", 2, 1, 1, {1, 2}, whole(1, 1), {grey(2)}},
        // Rows of 10 and 20 over 5 rows: spans [0,1), [1,2) ... [2,5) as 2 -> 5.
        {"enlarged: each pixel repeated",
         2,
         2,
         1,
         {10, 20, 30, 40},
         whole(4, 3),
         {grey(10), grey(10), grey(20), grey(20), grey(10), grey(10), grey(20), grey(20), grey(30),
          grey(30), grey(40), grey(40)}},
        // Columns 1 and 2 of rows 1 and 2 at their own size.
        {"a region at its own size",
         4,
         3,
         1,
         {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11},
         {4, 3, {1, 1, 2, 2}},
         {grey(5), grey(6), grey(9), grey(10)}},
        // The region's second column of the page halved: columns 2 and 3.
        {"a region of a page shown smaller",
         4,
         2,
         1,
         {10, 20, 30, 40, 50, 60, 70, 80},
         {2, 1, {1, 0, 1, 1}},
         {grey(55)}},
    };
    for (const ReductionCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(reduce(c.samples, c.width, c.length, c.channels, c.shown), c.pixels);
    }
}

// A page shown much smaller takes four pixels of each span each way.
TEST(PageReduction, SamplesSpansLongerThanFour) {
    std::vector<std::uint8_t> samples(100);
    std::iota(samples.begin(), samples.end(), 0); // row y, column x: 10 y + x
    PageReduction reduction(10, 10, whole(1, 1), 1, nullptr, 1, 0, 1);
    EXPECT_EQ(reduction.rows(), (std::vector<std::uint32_t>{1, 3, 6, 8}));
    // Columns and rows 1, 3, 6, 8: the average of 11 + 4.5 * 11 = 49.5, rounded.
    EXPECT_EQ(reduce(samples, 10, 10, 1, whole(1, 1)), std::vector<std::uint32_t>{grey(50)});
}

// Shown rows made in parts (one per thread) are the rows made at once.
TEST(PageReduction, PartsOfTheShownRowsMakeThoseRowsAlone) {
    std::vector<std::uint8_t> samples(9 * 14 * 3);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = std::uint8_t(i * 37 % 251);
    const ShownPage shown = whole(4, 6);
    const std::vector<std::uint32_t> once = reduce(samples, 9, 14, 3, shown);
    std::vector<std::uint32_t> parts(once.size(), 0);
    for (auto [first, end] : {std::pair{0u, 2u}, std::pair{2u, 5u}, std::pair{5u, 6u}}) {
        const std::vector<std::uint32_t> part = reduce(samples, 9, 14, 3, shown, first, end);
        for (std::uint32_t y = first; y < end; ++y)
            for (std::uint32_t x = 0; x < 4; ++x)
                parts[y * 4 + x] = part[y * 4 + x];
    }
    EXPECT_EQ(parts, once);
}

} // namespace
} // namespace pagesmith
