#include "CopyTestSupport.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

struct LayoutCase {
    const char* name;
    PageSpec input;
    OutputLayout output;
    CopyRoutine expected;
};

PageSpec strips(std::uint16_t planar, std::uint32_t rowsPerStrip) {
    PageSpec page;
    page.width = 40;
    page.length = 30;
    page.samplesPerPixel = 3;
    page.photometric = PHOTOMETRIC_RGB;
    page.planar = planar;
    page.rowsPerStrip = rowsPerStrip;
    return page;
}

PageSpec tiles(std::uint16_t planar) {
    PageSpec page = strips(planar, 0);
    page.tiled = true;
    return page;
}

OutputLayout stripOutput(std::uint32_t rowsPerStrip) {
    OutputLayout layout;
    layout.compression = COMPRESSION_LZW;
    layout.rowsPerStrip = rowsPerStrip;
    return layout;
}

OutputLayout tileOutput() {
    OutputLayout layout;
    layout.compression = COMPRESSION_LZW;
    layout.tiled = true;
    layout.tileWidth = 32;
    layout.tileLength = 16;
    return layout;
}

TEST(ChooseCopyRoutine, PicksTheRoutineOfEachStorageLayout) {
    const std::uint16_t contig = PLANARCONFIG_CONTIG;
    const std::uint16_t separate = PLANARCONFIG_SEPARATE;
    const LayoutCase cases[] = {
        {"contiguous strips, other height", strips(contig, 8), stripOutput(16), copyRowsContig},
        {"contiguous strips, same height", strips(contig, 8), stripOutput(8), copyStripsDecoded},
        {"contiguous strips to tiles", strips(contig, 8), tileOutput(), copyContigStripsToTiles},
        {"contiguous tiles to strips", tiles(contig), stripOutput(8), copyContigTilesToStrips},
        {"contiguous tiles to tiles", tiles(contig), tileOutput(), copyContigTilesToTiles},
        {"separate strips, other height", strips(separate, 8), stripOutput(5),
         copyRowsSeparateToSeparate},
        {"separate strips, same height", strips(separate, 8), stripOutput(8),
         copyRowsSeparateToSeparate},
        {"separate strips to tiles", strips(separate, 8), tileOutput(), copySeparateStripsToTiles},
        {"separate tiles to strips", tiles(separate), stripOutput(8), copySeparateTilesToStrips},
        {"separate tiles to tiles", tiles(separate), tileOutput(), copySeparateTilesToTiles},
    };
    TempDir dir;
    for (const LayoutCase& layout : cases) {
        SCOPED_TRACE(layout.name);
        writeTiff(dir.path() / "in.tif", layout.input);
        TiffHandle in = openPage(dir.path() / "in.tif");
        TiffHandle out(dir.file("out.tif"), "w");
        ASSERT_TRUE(in && out);
        setUpOutputDirectory(in.get(), out.get(), layout.output);
        EXPECT_STREQ(routineName(chooseCopyRoutine(in.get(), out.get(), 8, 3)),
                     routineName(layout.expected));
    }
}

TEST(ChooseCopyRoutine, TakesAnInputWithoutStripHeightAsOneStripOfAllRows) {
    TempDir dir;
    PageSpec page = strips(PLANARCONFIG_CONTIG, 30);
    page.compression = COMPRESSION_LZW; // uncompressed, libtiff would supply a strip height
    writeTiff(dir.path() / "in.tif", page);
    // RowsPerStrip moved to a private tag number: the input has none.
    patchTag(dir.path() / "in.tif", TIFFTAG_ROWSPERSTRIP, 30, 65000);
    for (std::uint32_t outputRows : {0xFFFFFFFFu, 30u}) {
        TiffHandle in = openPage(dir.path() / "in.tif");
        TiffHandle out(dir.file("out.tif"), "w");
        ASSERT_TRUE(in && out);
        setUpOutputDirectory(in.get(), out.get(), stripOutput(outputRows));
        EXPECT_STREQ(routineName(chooseCopyRoutine(in.get(), out.get(), 8, 3)),
                     outputRows == 0xFFFFFFFFu ? "copyStripsDecoded" : "copyRowsContig");
    }
}

TEST(ChooseCopyRoutine, RefusesPlanesThatDifferBetweenTheSidesWithAMessageNamingTheInput) {
    TempDir dir;
    writeTiff(dir.path() / "in.tif", strips(PLANARCONFIG_CONTIG, 8));
    TiffHandle in = openPage(dir.path() / "in.tif");
    TiffHandle out(dir.file("out.tif"), "w");
    OutputLayout layout = stripOutput(8);
    layout.planar = PLANARCONFIG_SEPARATE;
    setUpOutputDirectory(in.get(), out.get(), layout);

    testing::internal::CaptureStderr();
    const CopyRoutine routine = chooseCopyRoutine(in.get(), out.get(), 8, 3);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(routine, nullptr);
    EXPECT_EQ(message,
              "tiffcp: " + dir.file("in.tif") + ": Don't know how to copy/convert image.\n");
}

} // namespace
} // namespace pagesmith::test
