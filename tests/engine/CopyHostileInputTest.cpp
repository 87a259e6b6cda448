#include "CopyTestSupport.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

PageSpec page(std::uint16_t planar, bool isTiled, std::uint16_t compression = COMPRESSION_LZW) {
    PageSpec spec;
    spec.width = 70;
    spec.length = 50;
    spec.samplesPerPixel = 3;
    spec.photometric = PHOTOMETRIC_RGB;
    spec.planar = planar;
    spec.compression = compression;
    spec.rowsPerStrip = 16;
    spec.tiled = isTiled;
    spec.tileWidth = 32;
    spec.tileLength = 16;
    return spec;
}

OutputLayout output(bool isTiled, std::uint32_t rowsPerStrip = 0,
                    std::uint16_t compression = COMPRESSION_PACKBITS) {
    OutputLayout layout;
    layout.compression = compression;
    layout.tiled = isTiled;
    layout.rowsPerStrip = rowsPerStrip;
    layout.tileWidth = 48;
    layout.tileLength = 32;
    return layout;
}

struct RoutineCase {
    CopyRoutine routine;
    PageSpec input;
    OutputLayout output;
};

std::vector<RoutineCase> everyRoutine() {
    const std::uint16_t contig = PLANARCONFIG_CONTIG;
    const std::uint16_t separate = PLANARCONFIG_SEPARATE;
    return {
        {copyRowsContig, page(contig, false), output(false, 5)},
        {copyStripsDecoded, page(contig, false), output(false)},
        {copyRowsSeparateToSeparate, page(separate, false), output(false, 5)},
        {copyContigStripsToTiles, page(contig, false), output(true)},
        {copyContigTilesToStrips, page(contig, true), output(false, 16)},
        {copyContigTilesToTiles, page(contig, true), output(true)},
        {copySeparateStripsToTiles, page(separate, false), output(true)},
        {copySeparateTilesToStrips, page(separate, true), output(false, 16)},
        {copySeparateTilesToTiles, page(separate, true), output(true)},
    };
}

TEST(CopyRoutines, RefuseSizesThatDisagreeWithThePagesAndCopyNothing) {
    struct Arguments {
        const char* name;
        std::uint32_t length, width;
        std::uint16_t spp;
    };
    const Arguments wrong[] = {
        {"one row more", 51, 70, 3}, {"one row fewer", 49, 70, 3}, {"wider", 70, 71, 3},
        {"narrower", 50, 69, 3},     {"a sample more", 50, 70, 4}, {"a sample fewer", 50, 70, 2},
        {"no rows", 0, 70, 3},       {"no columns", 50, 0, 3},
    };
    TempDir dir;
    for (const RoutineCase& routineCase : everyRoutine()) {
        SCOPED_TRACE(routineName(routineCase.routine));
        writeTiff(dir.path() / "in.tif", routineCase.input);
        TiffHandle in = openPage(dir.path() / "in.tif");
        TiffHandle out(dir.file("out.tif"), "w");
        ASSERT_TRUE(in && out);
        setUpOutputDirectory(in.get(), out.get(), routineCase.output);
        ASSERT_EQ(chooseCopyRoutine(in.get(), out.get(), 8, 3), routineCase.routine);
        for (const Arguments& arguments : wrong)
            EXPECT_FALSE(routineCase.routine(in.get(), out.get(), arguments.length, arguments.width,
                                             arguments.spp))
                << arguments.name;
        // Nothing was written by the refusals: the right call still copies the page.
        EXPECT_TRUE(routineCase.routine(in.get(), out.get(), 50, 70, 3));
        ASSERT_TRUE(TIFFWriteDirectory(out.get()));
        out.close();
        expectSamePixels(dir.path() / "in.tif", dir.path() / "out.tif");
    }
}

TEST(CopyRoutines, RefuseAnOutputWhoseRowsDifferInSizeFromTheInput) {
    // Subsampled YCbCr stored raw: its rows are half the size of the RGB rows
    // the JPEG encoder is set up to take.
    PageSpec input = page(PLANARCONFIG_CONTIG, false, COMPRESSION_NONE);
    input.width = 64;
    input.length = 32;
    input.photometric = PHOTOMETRIC_YCBCR;
    input.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 2, 2); };
    TempDir dir;
    writeTiff(dir.path() / "in.tif", input);
    for (const OutputLayout& layout :
         {output(false, 16, COMPRESSION_JPEG), output(false, 32, COMPRESSION_JPEG),
          output(true, 0, COMPRESSION_JPEG)}) {
        const CopyOutcome outcome = copyPage(dir.path() / "in.tif", dir.path() / "out.tif", layout);
        SCOPED_TRACE(routineName(outcome.routine));
        EXPECT_NE(outcome.routine, nullptr);
        EXPECT_FALSE(outcome.copied);
    }
}

TEST(CopyRoutines, FailWhenATileSizeIsZeroOnEitherSide) {
    // libtiff refuses such files when it opens them; the routines do not rely on that.
    TempDir dir;
    for (const RoutineCase& routineCase : everyRoutine()) {
        for (ttag_t tag : {TIFFTAG_TILEWIDTH, TIFFTAG_TILELENGTH}) {
            writeTiff(dir.path() / "in.tif", routineCase.input);
            TiffHandle in = openPage(dir.path() / "in.tif");
            TiffHandle out(dir.file("out.tif"), "w");
            ASSERT_TRUE(in && out);
            setUpOutputDirectory(in.get(), out.get(), routineCase.output);
            const bool inTiled = TIFFIsTiled(in.get());
            const bool outTiled = TIFFIsTiled(out.get());
            if (!inTiled && !outTiled)
                continue;
            SCOPED_TRACE(routineName(routineCase.routine));
            SCOPED_TRACE(tag == TIFFTAG_TILEWIDTH ? "tile width" : "tile length");
            TIFFSetField(inTiled ? in.get() : out.get(), tag, 0u);
            EXPECT_FALSE(routineCase.routine(in.get(), out.get(), 50, 70, 3));
        }
    }
}

TEST(CopyRoutines, FailWhenTheWholeImageWouldOverflowItsBuffer) {
    TempDir dir;
    PageSpec input = page(PLANARCONFIG_CONTIG, false);
    input.bitsPerSample = 16;
    input.rowsPerStrip = 1u << 28; // strips that libtiff can still size
    writeTiff(dir.path() / "in.tif", input);
    // 2^31 x 2^31 pixels of 6 bytes: 2^65 bytes, past any 64-bit size.
    patchTag(dir.path() / "in.tif", TIFFTAG_IMAGEWIDTH, 1u << 31);
    patchTag(dir.path() / "in.tif", TIFFTAG_IMAGELENGTH, 1u << 31);
    ASSERT_TRUE(openPage(dir.path() / "in.tif"));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", output(true));
    EXPECT_STREQ(routineName(outcome.routine), "copyContigStripsToTiles");
    EXPECT_FALSE(outcome.copied);
}

} // namespace
} // namespace pagesmith::test
