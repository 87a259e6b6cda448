#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

const std::uint16_t separate = PLANARCONFIG_SEPARATE;

TEST(CopyRowsSeparateToSeparate, CopiesEveryPlaneBetweenStripsOfAnyHeight) {
    expectLosslessRoundTrips({
        {"8-bit RGB, same height", testPage(40, 30, 8, 3, separate, COMPRESSION_LZW, 8),
         toStrips(COMPRESSION_LZW, 8), copyRowsSeparateToSeparate},
        {"8-bit RGB, other height", testPage(40, 30, 8, 3, separate, COMPRESSION_NONE, 8),
         toStrips(COMPRESSION_PACKBITS, 5), copyRowsSeparateToSeparate},
        {"16-bit four samples", testPage(21, 17, 16, 4, separate, COMPRESSION_PACKBITS, 3),
         toStrips(COMPRESSION_NONE, 10), copyRowsSeparateToSeparate},
        {"1-bit two samples", testPage(37, 19, 1, 2, separate, COMPRESSION_NONE, 4),
         toStrips(COMPRESSION_LZW, 7), copyRowsSeparateToSeparate},
        {"8-bit one sample", testPage(33, 12, 8, 1, separate, COMPRESSION_NONE, 5),
         toStrips(COMPRESSION_LZW, 12), copyRowsSeparateToSeparate},
    });
}

TEST(CopyRowsSeparateToSeparate, WritesThePlanesOneAfterTheOther) {
    TempDir dir;
    writeTiff(dir.path() / "in.tif", testPage(40, 30, 8, 3, separate, COMPRESSION_NONE, 8));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toStrips(COMPRESSION_NONE, 10));
    ASSERT_TRUE(outcome.copied && outcome.directoryWritten);

    TiffHandle out = openPage(dir.path() / "out.tif");
    ASSERT_EQ(TIFFNumberOfStrips(out.get()), 9u);
    // Strip offsets grow through plane 0, then plane 1, then plane 2.
    for (tstrip_t s = 1; s < 9; ++s)
        EXPECT_GT(TIFFGetStrileOffset(out.get(), s), TIFFGetStrileOffset(out.get(), s - 1))
            << "strip " << s;
}

} // namespace
} // namespace pagesmith::test
