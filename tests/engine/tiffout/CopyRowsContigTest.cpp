#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

const std::uint16_t contig = PLANARCONFIG_CONTIG;

TEST(CopyRowsContig, CopiesEveryPixelBetweenStripsOfDifferentHeights) {
    expectLosslessRoundTrips({
        {"1-bit Group 4 to Group 3 2D", testPage(300, 45, 1, 1, contig, COMPRESSION_CCITTFAX4, 8),
         toStrips(COMPRESSION_CCITTFAX3, 5), copyRowsContig},
        {"1-bit uncompressed to Group 4", testPage(301, 40, 1, 1, contig, COMPRESSION_NONE, 7),
         toStrips(COMPRESSION_CCITTFAX4, 11), copyRowsContig},
        {"8-bit grey LZW to PackBits", testPage(50, 33, 8, 1, contig, COMPRESSION_LZW, 7),
         toStrips(COMPRESSION_PACKBITS, 10), copyRowsContig},
        {"8-bit RGB uncompressed to LZW", testPage(41, 37, 8, 3, contig, COMPRESSION_NONE, 3),
         toStrips(COMPRESSION_LZW, 16), copyRowsContig},
        {"16-bit grey LZW to LZW", testPage(23, 19, 16, 1, contig, COMPRESSION_LZW, 4),
         toStrips(COMPRESSION_LZW, 3), copyRowsContig},
        {"16-bit four samples PackBits to uncompressed",
         testPage(29, 21, 16, 4, contig, COMPRESSION_PACKBITS, 5), toStrips(COMPRESSION_NONE, 9),
         copyRowsContig},
    });
}

TEST(CopyRowsContig, EncodesRgbAsJpegInStripsOfSixteenRows) {
    TempDir dir;
    TestPage page = testPage(64, 40, 8, 3, contig, COMPRESSION_LZW, 8);
    page.pixels.resize(page.rasterBytes());
    for (std::size_t i = 0; i < page.pixels.size(); ++i) // smooth, so JPEG keeps it close
        page.pixels[i] = std::uint8_t((i % 192) / 3 + (i / 192) * 2 + (i % 3) * 40);
    writeTiff(dir.path() / "in.tif", page);

    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toStrips(COMPRESSION_JPEG, 16));
    EXPECT_STREQ(routineName(outcome.routine), "copyRowsContig");
    EXPECT_TRUE(outcome.copied && outcome.directoryWritten);
    EXPECT_EQ(readPage(dir.path() / "out.tif").compression, COMPRESSION_JPEG);
    EXPECT_GT(psnrRgb(readRgba(dir.path() / "in.tif"), readRgba(dir.path() / "out.tif")), 30.0);
}

TEST(CopyRowsContig, FailsWhenTheOutputCannotEncodeTheSamples) {
    TempDir dir;
    // The JPEG codec takes 8-bit samples only: the first row written fails.
    writeTiff(dir.path() / "in.tif", testPage(64, 40, 1, 1, contig, COMPRESSION_CCITTFAX4, 8));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toStrips(COMPRESSION_JPEG, 16));
    EXPECT_STREQ(routineName(outcome.routine), "copyRowsContig");
    EXPECT_FALSE(outcome.copied);
}

} // namespace
} // namespace pagesmith::test
