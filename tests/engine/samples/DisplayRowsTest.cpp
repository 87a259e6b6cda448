#include "support/PageKinds.h"

#include "engine/samples/DisplayRows.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

using test::TempDir;

constexpr std::uint32_t kWidth = 9, kLength = 5;

// Every kind of page reads as the samples of its rules, grey as one channel
// and everything else as RGB, whichever rows are skipped on the way.
TEST(DisplayRows, HandOutEveryKindAsItsRulesMakeItInColour) {
    for (const test::PageKind& kind : test::pageKinds()) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const test::ReducedPage page = test::writeKind(kind, dir.file("in.tif"), kWidth, kLength);
        const std::vector<std::uint8_t> expected = test::shownSamples(page);
        const std::uint16_t channels = page.channels == 1 ? 1 : 3;
        for (std::uint32_t step : {1u, 2u, 4u}) {
            SCOPED_TRACE(step);
            TiffHandle in = test::openPage(dir.file("in.tif"));
            DisplayRows rows(in.get());
            ASSERT_TRUE(rows.valid()) << rows.refusal();
            ASSERT_EQ(rows.channels(), channels);
            const std::size_t rowSamples = std::size_t(kWidth) * channels;
            for (std::uint32_t y = 0; y < kLength; y += step) {
                const std::uint8_t* row = rows.row(y);
                ASSERT_NE(row, nullptr) << y;
                EXPECT_EQ(std::vector<std::uint8_t>(row, row + rowSamples),
                          std::vector<std::uint8_t>(expected.begin() + y * rowSamples,
                                                    expected.begin() + (y + 1) * rowSamples))
                    << "row " << y;
            }
        }
    }
}

// Codecs that decode a strip from its start only still hand out any later
// row: the rows between are decoded on the way.
TEST(DisplayRows, SkipForwardInStripsOfEveryCodec) {
    for (std::uint16_t compression : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_PACKBITS,
                                      COMPRESSION_CCITTFAX4, COMPRESSION_CCITTFAX3}) {
        SCOPED_TRACE(compression);
        TempDir dir;
        test::TestPage page = test::faxPage(24, 20, compression);
        page.rowsPerStrip = 8;
        test::writeTiff(dir.file("in.tif"), page);
        const test::DecodedPage decoded = test::readPage(dir.file("in.tif"));
        TiffHandle in = test::openPage(dir.file("in.tif"));
        DisplayRows rows(in.get());
        ASSERT_TRUE(rows.valid());
        for (std::uint32_t y : {3u, 5u, 6u, 13u, 19u}) {
            const std::uint8_t* row = rows.row(y);
            ASSERT_NE(row, nullptr) << y;
            for (std::uint32_t x = 0; x < 24; ++x) {
                const bool black = (decoded.pixels[y * 3 + x / 8] >> (7 - x % 8)) & 1;
                ASSERT_EQ(row[x], black ? 0 : 255) << "row " << y << " pixel " << x;
            }
        }
    }
}

} // namespace
} // namespace pagesmith
