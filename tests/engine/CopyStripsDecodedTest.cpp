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

std::vector<std::uint64_t> stripByteCounts(const std::filesystem::path& path) {
    TiffHandle file = openPage(path);
    std::vector<std::uint64_t> counts;
    for (tstrip_t s = 0; file && s < TIFFNumberOfStrips(file.get()); ++s)
        counts.push_back(TIFFGetStrileByteCount(file.get(), s));
    return counts;
}

struct RoundTrip {
    const char* name;
    PageSpec input;
    OutputLayout output;
};

TEST(CopyStripsDecoded, CopiesEveryPixelStripForStripWithTheShorterLastStrip) {
    const RoundTrip cases[] = {
        {"1-bit Group 4 to Group 3 2D", stripPage(300, 70, 1, 1, COMPRESSION_CCITTFAX4, 16),
         strips(COMPRESSION_CCITTFAX3, 16)},
        {"1-bit PackBits to uncompressed", stripPage(301, 70, 1, 1, COMPRESSION_PACKBITS, 16),
         strips(COMPRESSION_NONE, 16)},
        {"8-bit grey LZW to uncompressed", stripPage(50, 30, 8, 1, COMPRESSION_LZW, 8),
         strips(COMPRESSION_NONE, 8)},
        {"8-bit RGB PackBits to uncompressed", stripPage(41, 23, 8, 3, COMPRESSION_PACKBITS, 5),
         strips(COMPRESSION_NONE, 5)},
        {"16-bit grey uncompressed to LZW", stripPage(23, 19, 16, 1, COMPRESSION_NONE, 1),
         strips(COMPRESSION_LZW, 1)},
        {"16-bit four samples uncompressed to uncompressed",
         stripPage(29, 22, 16, 4, COMPRESSION_NONE, 7), strips(COMPRESSION_NONE, 7)},
    };
    TempDir dir;
    for (const RoundTrip& trip : cases) {
        SCOPED_TRACE(trip.name);
        writeTiff(dir.path() / "in.tif", trip.input);
        const CopyOutcome outcome =
            copyPage(dir.path() / "in.tif", dir.path() / "out.tif", trip.output);
        EXPECT_STREQ(routineName(outcome.routine), "copyStripsDecoded");
        EXPECT_TRUE(outcome.copied);
        EXPECT_TRUE(outcome.directoryWritten);
        expectSamePixels(dir.path() / "in.tif", dir.path() / "out.tif");

        const std::uint32_t rows = trip.input.rowsPerStrip;
        const std::vector<std::uint64_t> counts = stripByteCounts(dir.path() / "out.tif");
        ASSERT_EQ(counts.size(), (trip.input.length + rows - 1) / rows);
        if (trip.output.compression == COMPRESSION_NONE) {
            const std::uint32_t lastRows = trip.input.length - rows * (counts.size() - 1);
            EXPECT_EQ(counts.front(), rows * trip.input.rowBytes());
            EXPECT_EQ(counts.back(), lastRows * trip.input.rowBytes());
        }
    }
}

TEST(CopyStripsDecoded, WritesEveryStripOfAnInputWhoseStripIsCutShort) {
    TempDir dir;
    const PageSpec page = stripPage(64, 40, 8, 1, COMPRESSION_LZW, 8);
    writeTiff(dir.path() / "whole.tif", page);
    // Strip 2 keeps a third of its compressed bytes: the decoder runs dry.
    rewriteDirectoryFirst(dir.path() / "whole.tif", dir.path() / "in.tif",
                          [](std::uint32_t strip, std::vector<std::uint8_t>& raw) {
                              if (strip == 2)
                                  raw.resize(raw.size() / 3);
                          });

    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", strips(COMPRESSION_NONE, 8));
    EXPECT_STREQ(routineName(outcome.routine), "copyStripsDecoded");
    EXPECT_TRUE(outcome.copied);
    EXPECT_TRUE(outcome.directoryWritten);
    const std::vector<std::uint64_t> counts = stripByteCounts(dir.path() / "out.tif");
    EXPECT_EQ(counts, std::vector<std::uint64_t>(5, 8 * 64));

    // The strips around the damaged one are intact.
    const std::vector<std::uint8_t> expected = patternPixels(page);
    const std::vector<std::uint8_t> copied = readPage(dir.path() / "out.tif").pixels;
    ASSERT_EQ(copied.size(), expected.size());
    const std::size_t stripBytes = 8 * 64;
    for (std::size_t strip : {0, 1, 3, 4})
        EXPECT_TRUE(std::equal(expected.begin() + strip * stripBytes,
                               expected.begin() + (strip + 1) * stripBytes,
                               copied.begin() + strip * stripBytes))
            << "strip " << strip;
    EXPECT_FALSE(std::equal(expected.begin() + 2 * stripBytes, expected.begin() + 3 * stripBytes,
                            copied.begin() + 2 * stripBytes))
        << "the cut strip decoded whole: the fixture is not damaged";
}

TEST(CopyStripsDecoded, FailsWhenTheOutputCannotEncodeTheSamples) {
    TempDir dir;
    writeTiff(dir.path() / "in.tif", stripPage(64, 40, 1, 1, COMPRESSION_CCITTFAX4, 16));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", strips(COMPRESSION_JPEG, 16));
    EXPECT_STREQ(routineName(outcome.routine), "copyStripsDecoded");
    EXPECT_FALSE(outcome.copied);
}

} // namespace
} // namespace pagesmith::test
