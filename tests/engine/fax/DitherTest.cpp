#include "engine/fax/Dither.h"

#include "support/Codes.h"

#include "support/FaxFixtures.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;
using Rows = std::vector<std::vector<std::uint8_t>>;

TestPage greyPage(const Rows& rows, std::uint16_t photometric = PHOTOMETRIC_MINISBLACK) {
    TestPage page;
    page.width = std::uint32_t(rows.front().size());
    page.length = std::uint32_t(rows.size());
    page.photometric = photometric;
    for (const auto& row : rows)
        page.pixels.insert(page.pixels.end(), row.begin(), row.end());
    return page;
}

TestPage uniformPage(std::uint32_t width, std::uint32_t length, std::uint8_t value) {
    return test::uniformPage(width, length, 1, PHOTOMETRIC_MINISBLACK, value);
}

// Dithers page 0 of `input` into a new file `output`, writing its directory
// when the dithering ran to the end.
int ditherInto(const std::filesystem::path& input, const std::filesystem::path& output) {
    TiffHandle in = test::openPage(input);
    TiffHandle out(output.string(), "w");
    EXPECT_TRUE(in && out);
    const int result = ditherToBilevel(in.get(), out.get(), CompressionMode::Group4);
    if (result == kDitherWritten) {
        EXPECT_TRUE(TIFFWriteDirectory(out.get()));
    }
    return result;
}

// The one-bit rows a page dithers to.
std::vector<std::uint8_t> ditheredBits(const TestPage& page) {
    TempDir dir;
    test::writeTiff(dir.file("grey.tif"), page);
    EXPECT_EQ(ditherInto(dir.file("grey.tif"), dir.file("bw.tif")), kDitherWritten);
    return test::readPage(dir.file("bw.tif")).pixels;
}

TEST(DitherToBilevel, GivesTheBitsWorkedOutByHandForSmallPages) {
    struct Case {
        const char* what;
        Rows rows;
        std::vector<std::uint8_t> bits; // one byte per output row
    };
    const std::vector<Case> cases = {
        {"uniform 129: the first pixel is white", Rows(3, {129, 129, 129, 129}), {0xA0, 0x50}},
        {"uniform 128: the first pixel is black", Rows(3, {128, 128, 128, 128}), {0x50, 0xA0}},
        {"4x3 ramp", {{0, 85, 170, 255}, {255, 170, 85, 0}, {0, 0, 0, 0}}, {0x30, 0xC0}},
        // 129 leaves -126; -126 * 7 / 16 is -55 toward zero (not -56), so 184 turns 129.
        {"errors truncate toward zero", {{129, 184}, {0, 0}}, {0xC0}},
        // 311 counts as 255 and leaves no error for the 110 after it.
        {"values above 255 are clamped", {{128, 255, 110}, {0, 0, 0}}, {0x40}},
        {"values below 0 are clamped", {{129, 0, 140}, {0, 0, 0}}, {0xA0}},
        {"5/16 goes straight down", {{128}, {89}, {0}}, {0x00, 0x80}},
        {"5/16 goes straight down, one less stays black", {{128}, {88}, {0}}, {0x00, 0x00}},
        {"3/16 goes down to the left", {{0, 128}, {105, 0}, {0, 0}}, {0x00, 0x80}},
        {"3/16 goes down to the left, one less stays black",
         {{0, 128}, {104, 0}, {0, 0}},
         {0x00, 0x00}},
        {"1/16 goes down to the right", {{128, 0}, {0, 83}, {0, 0}}, {0x00, 0x40}},
        {"1/16 goes down to the right, one less stays black",
         {{128, 0}, {0, 82}, {0, 0}},
         {0x00, 0x00}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(test::hexBytes(ditheredBits(greyPage(c.rows))), test::hexBytes(c.bits)) << c.what;
}

TEST(DitherToBilevel, TurnsAllWhiteIntoSetBitsAndAllBlackIntoClearBitsWithClearPadding) {
    EXPECT_EQ(test::hexBytes(ditheredBits(uniformPage(10, 3, 255))), "FF C0 FF C0 ");
    EXPECT_EQ(test::hexBytes(ditheredBits(uniformPage(10, 3, 0))), "00 00 00 00 ");
}

TEST(DitherToBilevel, WritesAOneBitPageOneRowShorterWithOnlyItsOwnTags) {
    TempDir dir;
    TestPage page;
    page.width = 100;
    page.length = 50;
    page.extraTags = [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_BOTLEFT);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 150.5);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, 3, 7);
        TIFFSetField(tif, TIFFTAG_SOFTWARE, "scanner 2.1");
        TIFFSetField(tif, TIFFTAG_DOCUMENTNAME, "letter");
        TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, "front page");
    };
    test::writeTiff(dir.file("grey.tif"), page);
    ASSERT_EQ(ditherInto(dir.file("grey.tif"), dir.file("bw.tif")), kDitherWritten);

    const test::DecodedPage bw = test::readPage(dir.file("bw.tif"));
    EXPECT_EQ(bw.width, 100u);
    EXPECT_EQ(bw.length, 49u);
    EXPECT_EQ(bw.bitsPerSample, 1);
    EXPECT_EQ(bw.samplesPerPixel, 1);
    EXPECT_EQ(bw.planar, PLANARCONFIG_CONTIG);
    EXPECT_EQ(bw.compression, COMPRESSION_CCITTFAX4);
    EXPECT_EQ(bw.photometric, PHOTOMETRIC_MINISBLACK);
    EXPECT_EQ(bw.pixels.size(), 13u * 49u);

    TiffHandle file = test::openPage(dir.file("bw.tif"));
    TIFF* tif = file.get();
    std::uint16_t value = 0;
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_FILLORDER, &value) && value == FILLORDER_LSB2MSB);
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_ORIENTATION, &value) && value == ORIENTATION_BOTLEFT);
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_RESOLUTIONUNIT, &value) && value == RESUNIT_INCH);
    float resolution = 0;
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolution));
    EXPECT_FLOAT_EQ(resolution, 300.0f);
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_YRESOLUTION, &resolution));
    EXPECT_FLOAT_EQ(resolution, 150.5f);
    char* text = nullptr;
    ASSERT_TRUE(TIFFGetField(tif, TIFFTAG_IMAGEDESCRIPTION, &text));
    EXPECT_STREQ(text, "Dithered B&W version");
    std::uint32_t rowsPerStrip = 0;
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip));
    EXPECT_EQ(rowsPerStrip, 8192u / 13u); // one-bit rows of 13 bytes in 8 KiB
    std::uint16_t first = 0, second = 0;
    EXPECT_FALSE(TIFFGetField(tif, TIFFTAG_PAGENUMBER, &first, &second));
    EXPECT_FALSE(TIFFGetField(tif, TIFFTAG_SOFTWARE, &text));
    EXPECT_FALSE(TIFFGetField(tif, TIFFTAG_DOCUMENTNAME, &text));
    std::uint32_t options = 0;
    EXPECT_FALSE(TIFFGetField(tif, TIFFTAG_GROUP3OPTIONS, &options));
}

TEST(DitherToBilevel, LeavesOutTheOptionalTagsTheInputLacks) {
    TempDir dir;
    test::writeTiff(dir.file("grey.tif"), uniformPage(20, 4, 200));
    ASSERT_EQ(ditherInto(dir.file("grey.tif"), dir.file("bw.tif")), kDitherWritten);
    TiffHandle file = test::openPage(dir.file("bw.tif"));
    std::uint16_t value = 0;
    float resolution = 0;
    EXPECT_FALSE(TIFFGetField(file.get(), TIFFTAG_FILLORDER, &value));
    EXPECT_FALSE(TIFFGetField(file.get(), TIFFTAG_ORIENTATION, &value));
    EXPECT_FALSE(TIFFGetField(file.get(), TIFFTAG_RESOLUTIONUNIT, &value));
    EXPECT_FALSE(TIFFGetField(file.get(), TIFFTAG_XRESOLUTION, &resolution));
}

TEST(DitherToBilevel, ChoosesTheGroup3OptionsOfEachModeAfreshEvenAfterAnotherMode) {
    TempDir dir;
    test::writeTiff(dir.file("grey.tif"), uniformPage(24, 6, 100));
    struct Expected {
        CompressionMode mode;
        std::uint16_t compression;
        std::int64_t group3Options; // -1: none written
    };
    // Mode 3 after mode 2 and mode 5 after mode 4: the fill bit must not stay.
    const std::vector<Expected> modes = {
        {CompressionMode::Group3OneDimFill, 3, 4}, {CompressionMode::Group3OneDim, 3, 0},
        {CompressionMode::Group3TwoDimFill, 3, 5}, {CompressionMode::Group3TwoDim, 3, 1},
        {CompressionMode::Group4, 4, -1},          {CompressionMode::Group3OneDim, 3, 0},
        {CompressionMode::Group3OneDimFill, 3, 4},
    };
    {
        TiffHandle in = test::openPage(dir.file("grey.tif"));
        TiffHandle out(dir.file("modes.tif"), "w");
        for (const Expected& expected : modes) {
            ASSERT_EQ(ditherToBilevel(in.get(), out.get(), expected.mode), kDitherWritten);
            ASSERT_TRUE(TIFFWriteDirectory(out.get()));
        }
    }
    for (std::size_t page = 0; page < modes.size(); ++page) {
        TiffHandle file = test::openPage(dir.file("modes.tif"), int(page));
        ASSERT_TRUE(file);
        std::uint16_t compression = 0;
        std::uint32_t options = 0;
        TIFFGetField(file.get(), TIFFTAG_COMPRESSION, &compression);
        EXPECT_EQ(compression, modes[page].compression) << "mode " << modes[page].mode;
        const bool hasOptions = TIFFGetField(file.get(), TIFFTAG_GROUP3OPTIONS, &options);
        EXPECT_EQ(hasOptions, modes[page].group3Options >= 0) << "mode " << modes[page].mode;
        if (hasOptions) {
            EXPECT_EQ(options, modes[page].group3Options) << "mode " << modes[page].mode;
        }
        EXPECT_EQ(test::readPage(dir.file("modes.tif"), int(page)).length, 5u);
    }
}

TEST(DitherToBilevel, RefusesWhatIsNotOneEightBitSampleWithItsReasonAndWritesNothing) {
    struct Case {
        std::uint16_t samplesPerPixel;
        std::uint16_t bitsPerSample;
        std::uint16_t photometric;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {3, 8, PHOTOMETRIC_RGB, "Not a b&w image."},
        {3, 16, PHOTOMETRIC_RGB, "Not a b&w image."},
        {1, 16, PHOTOMETRIC_MINISBLACK, "Sorry, only handle 8-bit samples."},
        {1, 4, PHOTOMETRIC_MINISBLACK, "Sorry, only handle 8-bit samples."},
    };
    for (const Case& c : cases) {
        TempDir dir;
        TestPage page;
        page.samplesPerPixel = c.samplesPerPixel;
        page.bitsPerSample = c.bitsPerSample;
        page.photometric = c.photometric;
        test::writeTiff(dir.file("in.tif"), page);
        TiffHandle in = test::openPage(dir.file("in.tif"));
        TiffHandle out(dir.file("out.tif"), "w");
        std::string refusal;
        testing::internal::CaptureStderr();
        EXPECT_EQ(ditherToBilevel(in.get(), out.get(), CompressionMode::Group4, &refusal),
                  kDitherRefused);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        EXPECT_EQ(refusal, c.refusal);
        std::uint32_t length = 0;
        EXPECT_FALSE(TIFFGetField(out.get(), TIFFTAG_IMAGELENGTH, &length))
            << c.samplesPerPixel << " samples of " << c.bitsPerSample << " bits";
    }
}

TEST(DitherToBilevel, RefusesModesThatAreNoFaxCompression) {
    TempDir dir;
    test::writeTiff(dir.file("grey.tif"), uniformPage(8, 4, 90));
    for (const CompressionMode mode :
         {CompressionMode(-1), CompressionMode::Uncompressed, CompressionMode::PackBits,
          CompressionMode::Lzw, CompressionMode::Jpeg, CompressionMode(9)}) {
        TiffHandle in = test::openPage(dir.file("grey.tif"));
        TiffHandle out(dir.file("out.tif"), "w");
        EXPECT_EQ(ditherToBilevel(in.get(), out.get(), mode), kDitherRefused) << "mode " << mode;
        std::uint32_t width = 0;
        EXPECT_FALSE(TIFFGetField(out.get(), TIFFTAG_IMAGEWIDTH, &width)) << "mode " << mode;
    }
}

// A page of one row would leave a page of ImageLength 0, which readers reject.
TEST(DitherToBilevel, RefusesAPageOfOneRowInsteadOfWritingAnEmptyPage) {
    TempDir dir;
    test::writeTiff(dir.file("row.tif"), uniformPage(40, 1, 200));
    TiffHandle in = test::openPage(dir.file("row.tif"));
    TiffHandle out(dir.file("out.tif"), "w");
    EXPECT_EQ(ditherToBilevel(in.get(), out.get(), CompressionMode::Group4), kDitherRefused);
    std::uint32_t length = 0;
    EXPECT_FALSE(TIFFGetField(out.get(), TIFFTAG_IMAGELENGTH, &length));
}

// Min-is-white values are darkness; dithered as brightness the page would
// come out as its negative.
TEST(DitherToBilevel, DithersAMinIsWhitePageByItsBrightness) {
    const Rows ramp = {{0, 40, 90, 130, 170, 210, 250, 255, 30},
                       {255, 200, 160, 129, 128, 64, 32, 16, 8},
                       {12, 240, 60, 180, 120, 100, 220, 5, 77},
                       {0, 0, 0, 0, 0, 0, 0, 0, 0}};
    Rows inverted = ramp;
    for (auto& row : inverted)
        for (auto& value : row)
            value = std::uint8_t(255 - value);
    EXPECT_EQ(test::hexBytes(ditheredBits(greyPage(inverted, PHOTOMETRIC_MINISWHITE))),
              test::hexBytes(ditheredBits(greyPage(ramp, PHOTOMETRIC_MINISBLACK))));

    // A white min-is-white page (every value 0) gives all bits set.
    EXPECT_EQ(test::hexBytes(ditheredBits(
                  greyPage(Rows(3, std::vector<std::uint8_t>(8, 0)), PHOTOMETRIC_MINISWHITE))),
              "FF FF ");
}

TEST(DitherToBilevel, ReadsTiledStripedAndCompressedPagesAlike) {
    TestPage striped;
    striped.width = 37;
    striped.length = 29;
    striped.pixels = test::patternPixels(striped);
    const std::vector<std::uint8_t> expected = ditheredBits(striped);
    ASSERT_EQ(expected.size(), 5u * 28u);

    TestPage tiled = striped;
    tiled.tiled = true;
    tiled.tileWidth = 16;
    tiled.tileLength = 16;
    EXPECT_EQ(test::hexBytes(ditheredBits(tiled)), test::hexBytes(expected)) << "tiles";

    TestPage lzw = striped;
    lzw.compression = COMPRESSION_LZW;
    lzw.rowsPerStrip = 4;
    EXPECT_EQ(test::hexBytes(ditheredBits(lzw)), test::hexBytes(expected)) << "LZW strips";
}

} // namespace
} // namespace pagesmith
