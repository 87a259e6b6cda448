#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

TEST(CopyRoutines, RefuseSizesThatDisagreeWithThePagesAndCopyNothing) {
    struct Arguments {
        const char* name;
        std::uint32_t length, width;
        std::uint16_t spp;
    };
    const Arguments wrong[] = {
        {"one row more", 51, 70, 3}, {"one row fewer", 49, 70, 3}, {"wider", 50, 71, 3},
        {"narrower", 50, 69, 3},     {"a sample more", 50, 70, 4}, {"a sample fewer", 50, 70, 2},
        {"no rows", 0, 70, 3},       {"no columns", 50, 0, 3},
    };
    TempDir dir;
    for (const RoundTrip& trip : onePagePerRoutine(70, 50, 8, 3, COMPRESSION_LZW)) {
        SCOPED_TRACE(trip.name);
        writeTiff(dir.path() / "in.tif", trip.input);
        TiffHandle in = openPage(dir.path() / "in.tif");
        TiffHandle out(dir.file("out.tif"), "w");
        ASSERT_TRUE(in && out);
        setUpOutputDirectory(in.get(), out.get(), trip.output);
        for (const Arguments& arguments : wrong)
            EXPECT_FALSE(trip.routine(in.get(), out.get(), arguments.length, arguments.width,
                                      arguments.spp, nullptr))
                << arguments.name;
        // The refusals wrote nothing: the right call still copies the page.
        EXPECT_TRUE(trip.routine(in.get(), out.get(), 50, 70, 3, nullptr));
        ASSERT_TRUE(TIFFWriteDirectory(out.get()));
        out.close();
        expectSamePixels(dir.path() / "in.tif", dir.path() / "out.tif");
    }
}

TEST(CopyRoutines, RefuseAnOutputWhoseRowsDifferInSizeFromTheInput) {
    // Subsampled YCbCr stored raw: its rows are half the size of the RGB rows
    // the JPEG encoder is set up to take.
    TestPage input = testPage(64, 32, 8, 3, PLANARCONFIG_CONTIG, COMPRESSION_NONE);
    input.photometric = PHOTOMETRIC_YCBCR;
    input.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2); };
    TempDir dir;
    writeTiff(dir.path() / "in.tif", input);
    for (const OutputLayout& layout :
         {toStrips(COMPRESSION_JPEG, 16), toStrips(COMPRESSION_JPEG, 32),
          toTiles(COMPRESSION_JPEG, 32, 32)}) {
        const CopyOutcome outcome = copyPage(dir.path() / "in.tif", dir.path() / "out.tif", layout);
        SCOPED_TRACE(routineName(outcome.routine));
        EXPECT_NE(outcome.routine, nullptr);
        EXPECT_FALSE(outcome.copied);
    }
}

TEST(CopyRoutines, FailWhenATileSizeIsZeroOnEitherSide) {
    // libtiff refuses such files when it opens them; the routines do not rely on that.
    TempDir dir;
    for (const RoundTrip& trip : onePagePerRoutine(70, 50, 8, 3, COMPRESSION_LZW)) {
        for (ttag_t tag : {TIFFTAG_TILEWIDTH, TIFFTAG_TILELENGTH}) {
            writeTiff(dir.path() / "in.tif", trip.input);
            TiffHandle in = openPage(dir.path() / "in.tif");
            TiffHandle out(dir.file("out.tif"), "w");
            ASSERT_TRUE(in && out);
            setUpOutputDirectory(in.get(), out.get(), trip.output);
            const bool inTiled = TIFFIsTiled(in.get());
            if (!inTiled && !TIFFIsTiled(out.get()))
                continue;
            SCOPED_TRACE(trip.name);
            SCOPED_TRACE(tag == TIFFTAG_TILEWIDTH ? "tile width" : "tile length");
            TIFFSetField(inTiled ? in.get() : out.get(), tag, 0u);
            EXPECT_FALSE(trip.routine(in.get(), out.get(), 50, 70, 3, nullptr));
        }
    }
}

TEST(CopyRoutines, FailWhenTheWholeImageWouldOverflowItsBuffer) {
    TempDir dir;
    // Strips of 2^28 rows, which libtiff can still size.
    writeTiff(dir.path() / "in.tif",
              testPage(70, 50, 16, 3, PLANARCONFIG_CONTIG, COMPRESSION_LZW, 1u << 28));
    // 2^31 x 2^31 pixels of 6 bytes: 2^65 bytes, past any 64-bit size.
    patchTag(dir.path() / "in.tif", TIFFTAG_IMAGEWIDTH, 1u << 31);
    patchTag(dir.path() / "in.tif", TIFFTAG_IMAGELENGTH, 1u << 31);
    ASSERT_TRUE(openPage(dir.path() / "in.tif"));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toTiles(COMPRESSION_LZW, 128, 32));
    EXPECT_STREQ(routineName(outcome.routine), "copyContigStripsToTiles");
    EXPECT_FALSE(outcome.copied);
}

} // namespace
} // namespace pagesmith::test
