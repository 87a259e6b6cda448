#include "CopyTestSupport.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

PageSpec stripPage(std::uint32_t width, std::uint32_t length, std::uint16_t bits, std::uint16_t spp,
                   std::uint16_t compression, std::uint32_t rowsPerStrip) {
    PageSpec page;
    page.width = width;
    page.length = length;
    page.bitsPerSample = bits;
    page.samplesPerPixel = spp;
    page.photometric = bits == 1  ? PHOTOMETRIC_MINISWHITE
                       : spp >= 4 ? PHOTOMETRIC_SEPARATED
                       : spp == 3 ? PHOTOMETRIC_RGB
                                  : PHOTOMETRIC_MINISBLACK;
    page.compression = compression;
    page.rowsPerStrip = rowsPerStrip;
    return page;
}

OutputLayout strips(std::uint16_t compression, std::uint32_t rowsPerStrip) {
    OutputLayout layout;
    layout.compression = compression;
    layout.rowsPerStrip = rowsPerStrip;
    return layout;
}

struct RoundTrip {
    const char* name;
    PageSpec input;
    OutputLayout output;
};

TEST(CopyRowsContig, CopiesEveryPixelBetweenStripsOfDifferentHeights) {
    const RoundTrip cases[] = {
        {"1-bit Group 4 to Group 3 2D", stripPage(300, 45, 1, 1, COMPRESSION_CCITTFAX4, 8),
         strips(COMPRESSION_CCITTFAX3, 5)},
        {"1-bit uncompressed to Group 4", stripPage(301, 40, 1, 1, COMPRESSION_NONE, 7),
         strips(COMPRESSION_CCITTFAX4, 11)},
        {"8-bit grey LZW to PackBits", stripPage(50, 33, 8, 1, COMPRESSION_LZW, 7),
         strips(COMPRESSION_PACKBITS, 10)},
        {"8-bit RGB uncompressed to LZW", stripPage(41, 37, 8, 3, COMPRESSION_NONE, 3),
         strips(COMPRESSION_LZW, 16)},
        {"16-bit grey LZW to LZW", stripPage(23, 19, 16, 1, COMPRESSION_LZW, 4),
         strips(COMPRESSION_LZW, 3)},
        {"16-bit four samples PackBits to uncompressed",
         stripPage(29, 21, 16, 4, COMPRESSION_PACKBITS, 5), strips(COMPRESSION_NONE, 9)},
    };
    TempDir dir;
    for (const RoundTrip& trip : cases) {
        SCOPED_TRACE(trip.name);
        writeTiff(dir.path() / "in.tif", trip.input);
        const CopyOutcome outcome =
            copyPage(dir.path() / "in.tif", dir.path() / "out.tif", trip.output);
        EXPECT_STREQ(routineName(outcome.routine), "copyRowsContig");
        EXPECT_TRUE(outcome.copied);
        EXPECT_TRUE(outcome.directoryWritten);
        expectSamePixels(dir.path() / "in.tif", dir.path() / "out.tif");
    }
}

TEST(CopyRowsContig, EncodesRgbAsJpegInStripsOfSixteenRows) {
    TempDir dir;
    PageSpec page = stripPage(64, 40, 8, 3, COMPRESSION_LZW, 8);
    page.pixels.resize(page.rasterBytes());
    for (std::size_t i = 0; i < page.pixels.size(); ++i) // smooth, so JPEG keeps it close
        page.pixels[i] = std::uint8_t((i % 192) / 3 + (i / 192) * 2 + (i % 3) * 40);
    writeTiff(dir.path() / "in.tif", page);

    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", strips(COMPRESSION_JPEG, 16));
    EXPECT_STREQ(routineName(outcome.routine), "copyRowsContig");
    EXPECT_TRUE(outcome.copied);
    EXPECT_TRUE(outcome.directoryWritten);
    EXPECT_EQ(readPage(dir.path() / "out.tif").compression, COMPRESSION_JPEG);
    EXPECT_GT(psnrRgb(readRgba(dir.path() / "in.tif"), readRgba(dir.path() / "out.tif")), 30.0);
}

TEST(CopyRowsContig, FailsWhenTheOutputCannotEncodeTheSamples) {
    TempDir dir;
    // The JPEG codec takes 8-bit samples only: the first row written fails.
    writeTiff(dir.path() / "in.tif", stripPage(64, 40, 1, 1, COMPRESSION_CCITTFAX4, 8));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", strips(COMPRESSION_JPEG, 16));
    EXPECT_STREQ(routineName(outcome.routine), "copyRowsContig");
    EXPECT_FALSE(outcome.copied);
}

} // namespace
} // namespace pagesmith::test
