#include "CopyTestSupport.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

PageSpec planesPage(std::uint32_t width, std::uint32_t length, std::uint16_t bits,
                    std::uint16_t spp, std::uint16_t compression, std::uint32_t rowsPerStrip) {
    PageSpec page;
    page.width = width;
    page.length = length;
    page.bitsPerSample = bits;
    page.samplesPerPixel = spp;
    page.photometric = spp == 3   ? PHOTOMETRIC_RGB
                       : spp == 4 ? PHOTOMETRIC_SEPARATED
                                  : PHOTOMETRIC_MINISBLACK;
    page.planar = PLANARCONFIG_SEPARATE;
    page.compression = compression;
    page.rowsPerStrip = rowsPerStrip;
    if (spp == 2)
        page.extraTags = [](TIFF* tif) {
            const std::uint16_t extra[] = {EXTRASAMPLE_UNSPECIFIED};
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, extra);
        };
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

TEST(CopyRowsSeparateToSeparate, CopiesEveryPlaneBetweenStripsOfAnyHeight) {
    const RoundTrip cases[] = {
        {"8-bit RGB, same height", planesPage(40, 30, 8, 3, COMPRESSION_LZW, 8),
         strips(COMPRESSION_LZW, 8)},
        {"8-bit RGB, other height", planesPage(40, 30, 8, 3, COMPRESSION_NONE, 8),
         strips(COMPRESSION_PACKBITS, 5)},
        {"16-bit four samples", planesPage(21, 17, 16, 4, COMPRESSION_PACKBITS, 3),
         strips(COMPRESSION_NONE, 10)},
        {"1-bit two samples", planesPage(37, 19, 1, 2, COMPRESSION_NONE, 4),
         strips(COMPRESSION_LZW, 7)},
        {"8-bit one sample", planesPage(33, 12, 8, 1, COMPRESSION_NONE, 5),
         strips(COMPRESSION_LZW, 12)},
    };
    TempDir dir;
    for (const RoundTrip& trip : cases) {
        SCOPED_TRACE(trip.name);
        writeTiff(dir.path() / "in.tif", trip.input);
        const CopyOutcome outcome =
            copyPage(dir.path() / "in.tif", dir.path() / "out.tif", trip.output);
        EXPECT_STREQ(routineName(outcome.routine), "copyRowsSeparateToSeparate");
        EXPECT_TRUE(outcome.copied);
        EXPECT_TRUE(outcome.directoryWritten);
        expectSamePixels(dir.path() / "in.tif", dir.path() / "out.tif");
    }
}

TEST(CopyRowsSeparateToSeparate, WritesThePlanesOneAfterTheOther) {
    TempDir dir;
    writeTiff(dir.path() / "in.tif", planesPage(40, 30, 8, 3, COMPRESSION_NONE, 8));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", strips(COMPRESSION_NONE, 10));
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
