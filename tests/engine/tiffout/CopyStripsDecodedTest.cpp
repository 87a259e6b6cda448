#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

const std::uint16_t contig = PLANARCONFIG_CONTIG;

std::vector<std::uint64_t> stripByteCounts(const std::filesystem::path& path) {
    TiffHandle file = openPage(path);
    std::vector<std::uint64_t> counts;
    for (tstrip_t s = 0; file && s < TIFFNumberOfStrips(file.get()); ++s)
        counts.push_back(TIFFGetStrileByteCount(file.get(), s));
    return counts;
}

TEST(CopyStripsDecoded, CopiesEveryPixelStripForStrip) {
    expectLosslessRoundTrips({
        {"1-bit Group 4 to Group 3 2D", testPage(300, 70, 1, 1, contig, COMPRESSION_CCITTFAX4, 16),
         toStrips(COMPRESSION_CCITTFAX3), copyStripsDecoded},
        {"8-bit grey LZW to PackBits", testPage(50, 30, 8, 1, contig, COMPRESSION_LZW, 8),
         toStrips(COMPRESSION_PACKBITS), copyStripsDecoded},
        {"16-bit grey uncompressed to LZW, one row a strip",
         testPage(23, 19, 16, 1, contig, COMPRESSION_NONE, 1), toStrips(COMPRESSION_LZW),
         copyStripsDecoded},
        {"16-bit four samples uncompressed to LZW",
         testPage(29, 22, 16, 4, contig, COMPRESSION_NONE, 7), toStrips(COMPRESSION_LZW),
         copyStripsDecoded},
    });
}

TEST(CopyStripsDecoded, KeepsTheStripsOfTheInputWithTheShorterLastStrip) {
    TempDir dir;
    for (const TestPage& page : {testPage(301, 70, 1, 1, contig, COMPRESSION_PACKBITS, 16),
                                 testPage(41, 23, 8, 3, contig, COMPRESSION_LZW, 5)}) {
        writeTiff(dir.path() / "in.tif", page);
        const CopyOutcome outcome =
            copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toStrips(COMPRESSION_NONE));
        EXPECT_STREQ(routineName(outcome.routine), "copyStripsDecoded");
        ASSERT_TRUE(outcome.copied && outcome.directoryWritten);
        expectSamePixels(dir.path() / "in.tif", dir.path() / "out.tif");

        // Uncompressed, each strip's byte count is its rows.
        const std::uint32_t rows = page.rowsPerStrip;
        std::vector<std::uint64_t> expected((page.length + rows - 1) / rows,
                                            rows * page.rowBytes());
        expected.back() = (page.length - rows * (expected.size() - 1)) * page.rowBytes();
        EXPECT_EQ(stripByteCounts(dir.path() / "out.tif"), expected);
    }
}

std::vector<std::uint8_t> rawStrip(const std::filesystem::path& path) {
    TiffHandle file = openPage(path);
    std::vector<std::uint8_t> bytes(std::size_t(TIFFGetStrileByteCount(file.get(), 0)));
    TIFFReadRawStrip(file.get(), 0, bytes.data(), tmsize_t(bytes.size()));
    return bytes;
}

// A page stored as one strip larger than a strip buffer may be goes row by
// row, and the encoder writes the very strip it writes from the whole strip.
TEST(CopyStripsDecoded, APageStoredAsOneLargeStripGoesRowByRowToTheSameStrip) {
    TempDir dir;
    const TestPage page = testPage(2400, 2400, 8, 3, contig, COMPRESSION_LZW, 2400);
    writeTiff(dir.path() / "in.tif", page);
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toStrips(COMPRESSION_LZW));
    EXPECT_STREQ(routineName(outcome.routine), "copyStripsDecoded");
    ASSERT_TRUE(outcome.copied && outcome.directoryWritten);
    EXPECT_EQ(stripByteCounts(dir.path() / "out.tif").size(), 1u);
    EXPECT_EQ(rawStrip(dir.path() / "out.tif"), rawStrip(dir.path() / "in.tif"));
}

TEST(CopyStripsDecoded, WritesEveryStripOfAnInputWhoseStripIsCutShort) {
    TempDir dir;
    const TestPage page = testPage(64, 40, 8, 1, contig, COMPRESSION_LZW, 8);
    writeTiff(dir.path() / "whole.tif", page);
    // Strip 2 keeps a third of its compressed bytes: the decoder runs dry.
    rewriteDirectoryFirst(dir.path() / "whole.tif", dir.path() / "in.tif",
                          [](std::uint32_t strip, std::vector<std::uint8_t>& raw) {
                              if (strip == 2)
                                  raw.resize(raw.size() / 3);
                          });

    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toStrips(COMPRESSION_NONE, 8));
    EXPECT_STREQ(routineName(outcome.routine), "copyStripsDecoded");
    EXPECT_TRUE(outcome.copied && outcome.directoryWritten);
    EXPECT_EQ(stripByteCounts(dir.path() / "out.tif"), std::vector<std::uint64_t>(5, 8 * 64));

    // The strips around the damaged one are intact.
    const std::vector<std::uint8_t> expected = patternPixels(page);
    const std::vector<std::uint8_t> copied = readPage(dir.path() / "out.tif").pixels;
    ASSERT_EQ(copied.size(), expected.size());
    auto sameStrip = [&](std::size_t strip) {
        const auto from = std::ptrdiff_t(strip * 8 * 64), to = from + 8 * 64;
        return std::equal(expected.begin() + from, expected.begin() + to, copied.begin() + from);
    };
    for (std::size_t strip : {0, 1, 3, 4})
        EXPECT_TRUE(sameStrip(strip)) << "strip " << strip;
    EXPECT_FALSE(sameStrip(2)) << "the cut strip decoded whole: the fixture is not damaged";
}

TEST(CopyStripsDecoded, FailsWhenTheOutputCannotEncodeTheSamples) {
    TempDir dir;
    writeTiff(dir.path() / "in.tif", testPage(64, 40, 1, 1, contig, COMPRESSION_CCITTFAX4, 16));
    const CopyOutcome outcome =
        copyPage(dir.path() / "in.tif", dir.path() / "out.tif", toStrips(COMPRESSION_JPEG, 16));
    EXPECT_STREQ(routineName(outcome.routine), "copyStripsDecoded");
    EXPECT_FALSE(outcome.copied);
}

} // namespace
} // namespace pagesmith::test
