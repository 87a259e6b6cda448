#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

#include <limits>

namespace pagesmith::test {
namespace {

const std::uint16_t contig = PLANARCONFIG_CONTIG;
const std::uint16_t separate = PLANARCONFIG_SEPARATE;

TEST(CopyThroughImageBuffer, CopiesContiguousPagesBetweenStripsAndTilesWithPartialEdgeTiles) {
    expectLosslessRoundTrips({
        {"8-bit RGB strips to 256 tiles, 300 wide",
         testPage(300, 270, 8, 3, contig, COMPRESSION_LZW), toTiles(COMPRESSION_LZW, 256, 256),
         copyContigStripsToTiles},
        {"8-bit RGB 256 tiles to strips",
         tiled(testPage(300, 270, 8, 3, contig, COMPRESSION_NONE), 256, 256),
         toStrips(COMPRESSION_PACKBITS, 16), copyContigTilesToStrips},
        {"8-bit grey 256 tiles to 64x32 tiles",
         tiled(testPage(300, 200, 8, 1, contig, COMPRESSION_PACKBITS), 256, 256),
         toTiles(COMPRESSION_LZW, 64, 32), copyContigTilesToTiles},
        {"1-bit strips to Group 4 tiles", testPage(300, 100, 1, 1, contig, COMPRESSION_CCITTFAX4),
         toTiles(COMPRESSION_CCITTFAX4, 256, 64), copyContigStripsToTiles},
        {"1-bit Group 4 tiles to strips",
         tiled(testPage(300, 100, 1, 1, contig, COMPRESSION_CCITTFAX4), 256, 64),
         toStrips(COMPRESSION_CCITTFAX3, 10), copyContigTilesToStrips},
        {"16-bit four samples, tiles larger than the image",
         tiled(testPage(37, 21, 16, 4, contig, COMPRESSION_NONE), 16, 16),
         toTiles(COMPRESSION_LZW, 512, 512), copyContigTilesToTiles},
        {"16-bit grey strips to tiles", testPage(40, 33, 16, 1, contig, COMPRESSION_NONE),
         toTiles(COMPRESSION_NONE, 16, 32), copyContigStripsToTiles},
    });
}

TEST(CopyThroughImageBuffer, CopiesSeparatePlanesOfAnySampleSizeBetweenStripsAndTiles) {
    expectLosslessRoundTrips({
        {"8-bit RGB strips to tiles", testPage(300, 70, 8, 3, separate, COMPRESSION_LZW),
         toTiles(COMPRESSION_LZW, 256, 32), copySeparateStripsToTiles},
        {"16-bit RGB tiles to strips",
         tiled(testPage(300, 70, 16, 3, separate, COMPRESSION_NONE), 256, 64),
         toStrips(COMPRESSION_LZW, 7), copySeparateTilesToStrips},
        {"16-bit four samples tiles to tiles",
         tiled(testPage(50, 40, 16, 4, separate, COMPRESSION_PACKBITS), 32, 16),
         toTiles(COMPRESSION_NONE, 16, 48), copySeparateTilesToTiles},
        {"1-bit three samples tiles to tiles",
         tiled(testPage(45, 30, 1, 3, separate, COMPRESSION_NONE), 32, 16),
         toTiles(COMPRESSION_LZW, 16, 16), copySeparateTilesToTiles},
        {"1-bit three samples tiles to strips",
         tiled(testPage(45, 30, 1, 3, separate, COMPRESSION_NONE), 32, 16),
         toStrips(COMPRESSION_PACKBITS, 4), copySeparateTilesToStrips},
        {"4-bit two samples strips to tiles", testPage(45, 30, 4, 2, separate, COMPRESSION_NONE),
         toTiles(COMPRESSION_NONE, 32, 16), copySeparateStripsToTiles},
    });
}

TEST(CopyThroughImageBuffer, PadsThePartOfEdgeTilesOutsideTheImageWithZeros) {
    TempDir dir;
    TestPage input = testPage(300, 200, 8, 1, contig, COMPRESSION_NONE);
    input.pixels.assign(input.rasterBytes(), 0xAB);
    writeTiff(dir.path() / "in.tif", input);
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toTiles(COMPRESSION_LZW, 256, 256));
    ASSERT_TRUE(outcome.copied && outcome.directoryWritten);

    TiffHandle out = openPage(dir.path() / "out.tif");
    std::vector<std::uint8_t> tile(256 * 256);
    // The right-hand tile holds 44 x 200 image pixels.
    ASSERT_EQ(TIFFReadTile(out.get(), tile.data(), 256, 0, 0, 0), tmsize_t(tile.size()));
    for (std::size_t row = 0; row < 256; ++row)
        for (std::size_t column = 0; column < 256; ++column)
            ASSERT_EQ(tile[row * 256 + column], row < 200 && column < 44 ? 0xAB : 0)
                << "row " << row << ", column " << column;
}

TEST(ImageBuffer, RefusesASizeThatOverflowsAndStaysEmpty) {
    ImageBuffer image;
    EXPECT_FALSE(image.allocate(std::numeric_limits<std::size_t>::max() / 4, 16, 16, 3));
    EXPECT_FALSE(image.bytes);
    EXPECT_EQ(image.rowBytes, 0u);
    EXPECT_EQ(image.length, 0u);
    EXPECT_TRUE(image.allocate(30, 10, 4, 2));
    EXPECT_EQ(image.bytes.size(), 240u);
    EXPECT_EQ(image.row(1, 3) + 30, image.bytes.data() + 240);
}

TEST(ImageBufferReadersAndWriters, RefuseABufferShapedForAnotherLayout) {
    TempDir dir;
    writeTiff(dir.path() / "contig.tif", testPage(40, 20, 8, 3, contig, COMPRESSION_NONE));
    writeTiff(dir.path() / "separate.tif",
              tiled(testPage(40, 20, 8, 3, separate, COMPRESSION_NONE), 16, 16));
    TiffHandle contigIn = openPage(dir.path() / "contig.tif");
    TiffHandle separateIn = openPage(dir.path() / "separate.tif");
    ASSERT_TRUE(contigIn && separateIn);

    ImageBuffer planes; // separate planes, rows of one plane
    ASSERT_TRUE(planes.allocate(40, 40, 20, 3));
    EXPECT_FALSE(readContigStrips(contigIn.get(), planes));
    ImageBuffer narrow; // one plane with rows too short for the input's scanlines
    ASSERT_TRUE(narrow.allocate(119, 40, 20, 1));
    EXPECT_FALSE(readContigStrips(contigIn.get(), narrow));
    ImageBuffer interleaved; // one plane of whole rows
    ASSERT_TRUE(interleaved.allocate(120, 40, 20, 1));
    EXPECT_FALSE(readSeparateTiles(separateIn.get(), interleaved));
    EXPECT_FALSE(readContigTiles(separateIn.get(), interleaved));
    ImageBuffer empty;
    EXPECT_FALSE(readContigStrips(contigIn.get(), empty));

    TiffHandle out(dir.file("out.tif"), "w");
    setUpOutputDirectory(contigIn.get(), out.get(), toStrips(COMPRESSION_NONE, 8));
    EXPECT_FALSE(writeContigStrips(out.get(), narrow));
    EXPECT_FALSE(writeContigStrips(out.get(), planes));
    EXPECT_FALSE(writeSeparateStrips(out.get(), planes));
    EXPECT_FALSE(writeContigTiles(out.get(), interleaved));
    EXPECT_TRUE(writeContigStrips(out.get(), interleaved));
}

} // namespace
} // namespace pagesmith::test
