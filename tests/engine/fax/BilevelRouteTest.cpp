#include "engine/fax/BilevelRoute.h"

#include "engine/fax/Dither.h"
#include "engine/fax/GrayReduction.h"
#include "engine/run/ConvertFiles.h"
#include "engine/threads/CoreBudget.h"
#include "engine/tiffout/PageSettings.h"
#include "support/Codes.h"
#include "support/FaxFixtures.h"
#include "support/Recorders.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <string>
#include <vector>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;
using Pixels = std::vector<std::uint8_t>;

using test::uniformPage;

TestPage rgbPage(std::uint32_t width, std::uint32_t length, std::uint8_t value = 129) {
    return uniformPage(width, length, 3, PHOTOMETRIC_RGB, value);
}

// A resolution the grey scratch page stores as 0: the one-bit page must take
// it from there, so such a page still goes through the scratch file.
TestPage withResolution(TestPage page, double resolution) {
    page.extraTags = [resolution](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, resolution);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, resolution);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_CENTIMETER);
    };
    return page;
}

constexpr double kResolutionOnlyTheScratchFileKeeps = 3e12;

TestPage greyPage(std::uint32_t width, std::uint32_t length, std::uint8_t value = 129) {
    return uniformPage(width, length, 1, PHOTOMETRIC_MINISBLACK, value);
}

// A palette page showing one index everywhere; the map gives that index the
// grey `shade` and every other index the opposite end of the scale.
TestPage palettePage(std::uint8_t index, std::uint8_t shade) {
    TestPage page = uniformPage(4, 3, 1, PHOTOMETRIC_PALETTE, index);
    page.extraTags = [index, shade](TIFF* tif) {
        std::vector<std::uint16_t> map(256, shade < 128 ? 65535 : 0);
        map[index] = std::uint16_t(shade * 257);
        TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    };
    return page;
}

TestPage jpegPage(std::uint32_t width, std::uint32_t length, std::uint8_t value) {
    TestPage page = rgbPage(width, length, value);
    page.photometric = PHOTOMETRIC_YCBCR;
    page.compression = COMPRESSION_JPEG;
    page.jpegFromRgb = true;
    page.rowsPerStrip = 16;
    return page;
}

// Runs the route on page `directory` of `input` into a new output file,
// writing the output directory when the page was dithered.
BilevelOutcome routeInto(const std::filesystem::path& input, const std::filesystem::path& output,
                         const std::string& scratch, int directory = 0,
                         std::string* refusal = nullptr) {
    TiffHandle in = test::openPage(input, directory);
    TiffHandle out(output.string(), "w");
    EXPECT_TRUE(in && out);
    const BilevelOutcome outcome = convertPageToBilevel(
        in.get(), out.get(), CompressionMode::Group4, scratch, nullptr, refusal);
    if (outcome == BilevelOutcome::Dithered) {
        EXPECT_TRUE(TIFFWriteDirectory(out.get()));
    } else {
        std::uint32_t width = 0;
        EXPECT_FALSE(TIFFGetField(out.get(), TIFFTAG_IMAGEWIDTH, &width))
            << "the route set up an output page it did not finish";
    }
    return outcome;
}

// Share of white pixels in a one-bit page, padding bits left out.
double whiteShare(const test::DecodedPage& page) {
    const std::size_t rowBytes = (page.width + 7) / 8;
    std::size_t white = 0;
    for (std::uint32_t y = 0; y < page.length; ++y)
        for (std::uint32_t x = 0; x < page.width; ++x)
            white += (page.pixels[y * rowBytes + x / 8] >> (7 - x % 8)) & 1;
    return double(white) / (double(page.width) * page.length);
}

void expectOneBitPage(const test::DecodedPage& page, std::uint32_t width, std::uint32_t length,
                      const std::string& what) {
    EXPECT_EQ(page.width, width) << what;
    EXPECT_EQ(page.length, length) << what;
    EXPECT_EQ(page.bitsPerSample, 1) << what;
    EXPECT_EQ(page.samplesPerPixel, 1) << what;
    EXPECT_EQ(page.compression, COMPRESSION_CCITTFAX4) << what;
    EXPECT_EQ(page.pixels.size(), std::size_t((width + 7) / 8) * length) << what;
}

TEST(TakesBilevelRoute, TakesEveryPageButOneBitBlackAndWhiteBoundForGroup3Or4) {
    struct Case {
        std::uint16_t outputCompression;
        std::uint16_t bitsPerSample;
        std::uint16_t samplesPerPixel;
        std::uint16_t photometric;
        bool routed;
    };
    const std::uint16_t grey = PHOTOMETRIC_MINISBLACK, rgb = PHOTOMETRIC_RGB;
    const std::vector<Case> cases = {
        {COMPRESSION_CCITTFAX4, 8, 1, grey, true},
        {COMPRESSION_CCITTFAX4, 8, 3, rgb, true},
        {COMPRESSION_CCITTFAX3, 8, 1, grey, true},
        {COMPRESSION_CCITTFAX3, 8, 3, rgb, true},
        {COMPRESSION_CCITTFAX4, 8, 2, grey, true},
        {COMPRESSION_CCITTFAX4, 8, 4, rgb, true},
        {COMPRESSION_CCITTFAX4, 16, 1, grey, true},
        {COMPRESSION_CCITTFAX4, 16, 3, rgb, true},
        {COMPRESSION_CCITTFAX4, 1, 1, PHOTOMETRIC_PALETTE, true},
        // One-bit black and white is copied as it is; a mask has no colours.
        {COMPRESSION_CCITTFAX4, 1, 1, grey, false},
        {COMPRESSION_CCITTFAX4, 1, 1, PHOTOMETRIC_MINISWHITE, false},
        {COMPRESSION_CCITTFAX4, 1, 1, PHOTOMETRIC_MASK, false},
        {COMPRESSION_LZW, 8, 3, rgb, false},
        {COMPRESSION_NONE, 8, 1, grey, false},
        {COMPRESSION_JPEG, 8, 3, rgb, false},
    };
    for (const Case& c : cases) {
        TempDir dir;
        TestPage page;
        page.bitsPerSample = c.bitsPerSample;
        page.samplesPerPixel = c.samplesPerPixel;
        page.photometric = c.photometric;
        page.extraTags = [&c](TIFF* tif) {
            std::vector<std::uint16_t> map(std::size_t(1) << c.bitsPerSample, 0);
            if (c.photometric == PHOTOMETRIC_PALETTE)
                TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
        };
        test::writeTiff(dir.file("in.tif"), page);
        PageSettings settings;
        settings.outputCompression = c.outputCompression;
        TiffHandle in = test::openPage(dir.file("in.tif"));
        EXPECT_EQ(takesBilevelRoute(in.get(), settings), c.routed)
            << "compression " << c.outputCompression << ", " << c.samplesPerPixel << " samples of "
            << c.bitsPerSample << " bits, photometric " << c.photometric;
    }
}

TEST(TakesBilevelRoute, ReadsAMissingBitsPerSampleAsOne) {
    TempDir dir;
    test::writeTiff(dir.file("in.tif"), greyPage(8, 8));
    test::renumberFirstPageTag(dir.file("in.tif"), TIFFTAG_BITSPERSAMPLE, 65000);
    PageSettings settings;
    settings.outputCompression = COMPRESSION_CCITTFAX4;
    TiffHandle in = test::openPage(dir.file("in.tif"));
    ASSERT_TRUE(in);
    EXPECT_FALSE(takesBilevelRoute(in.get(), settings));
}

TEST(ConvertPageToBilevel, DithersGreyPagesDirectlyWithoutTheScratchFile) {
    TempDir dir;
    test::writeTiff(dir.file("grey.tif"), greyPage(4, 3, 129));
    // A scratch file that cannot be created does not matter for grey pages.
    EXPECT_EQ(routeInto(dir.file("grey.tif"), dir.file("bw.tif"), dir.file("missing/scratch")),
              BilevelOutcome::Dithered);
    EXPECT_EQ(test::hexBytes(test::readPage(dir.file("bw.tif")).pixels), "A0 50 ");
}

TEST(ConvertPageToBilevel, DithersColourPagesByTheirGreyWithoutTheScratchFile) {
    TempDir dir;
    // (129, 129, 129) weighs to grey 129, whose dithered bits are known.
    test::writeTiff(dir.file("rgb.tif"), rgbPage(4, 3, 129));
    ASSERT_EQ(routeInto(dir.file("rgb.tif"), dir.file("bw.tif"), dir.file("missing/tmptif.tbw")),
              BilevelOutcome::Dithered);
    const test::DecodedPage bw = test::readPage(dir.file("bw.tif"));
    expectOneBitPage(bw, 4, 2, "RGB page");
    EXPECT_EQ(test::hexBytes(bw.pixels), "A0 50 ");
}

TEST(ConvertPageToBilevel, TakesTheGreyScratchPageForAResolutionOnlyItKeeps) {
    TempDir dir;
    test::writeTiff(dir.file("rgb.tif"),
                    withResolution(rgbPage(4, 3, 129), kResolutionOnlyTheScratchFileKeeps));
    ASSERT_EQ(routeInto(dir.file("rgb.tif"), dir.file("bw.tif"), dir.file("tmptif.tbw")),
              BilevelOutcome::Dithered);
    EXPECT_EQ(test::hexBytes(test::readPage(dir.file("bw.tif")).pixels), "A0 50 ");
    const test::DecodedPage grey = test::readPage(dir.file("tmptif.tbw"));
    EXPECT_EQ(grey.samplesPerPixel, 1);
    EXPECT_EQ(grey.pixels, Pixels(12, 129));
}

// Dithered by its index values, a palette page gives noise.
TEST(ConvertPageToBilevel, DithersPalettePagesByTheirColoursNotTheirIndices) {
    struct Case {
        std::uint8_t index;
        std::uint8_t shade;
        const char* bits;
    };
    const std::vector<Case> cases = {
        {7, 129, "A0 50 "},  // index 7 alone would be nearly black
        {200, 0, "00 00 "},  // index 200 alone would dither half white
        {20, 255, "F0 F0 "}, // white
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::writeTiff(dir.file("palette.tif"), palettePage(c.index, c.shade));
        ASSERT_EQ(routeInto(dir.file("palette.tif"), dir.file("bw.tif"), dir.file("tmptif.tbw")),
                  BilevelOutcome::Dithered);
        EXPECT_EQ(test::hexBytes(test::readPage(dir.file("bw.tif")).pixels), c.bits)
            << "index " << int(c.index) << " of shade " << int(c.shade);
    }
}

// Refused by the grey reduction, a colour JPEG page used to vanish from the
// output while the run reported success.
TEST(ConvertPageToBilevel, DithersYCbCrJpegPagesAfterDecodingThemAsRgb) {
    TempDir dir;
    test::writeTiff(dir.file("jpeg.tif"), jpegPage(64, 48, 200));
    ASSERT_EQ(routeInto(dir.file("jpeg.tif"), dir.file("bw.tif"), dir.file("tmptif.tbw")),
              BilevelOutcome::Dithered);
    const test::DecodedPage bw = test::readPage(dir.file("bw.tif"));
    expectOneBitPage(bw, 64, 47, "JPEG page");
    EXPECT_NEAR(whiteShare(bw), 200.0 / 255.0, 0.03);
}

TEST(ConvertPageToBilevel, FailsPagesItCannotTurnIntoGreyWithTheReasonAndLeavesTheOutputPageEmpty) {
    struct Case {
        const char* what;
        TestPage page;
        const char* refusal;
    };
    const char* inks = "Sorry, can only handle CMYK inks.";
    const char* oneRow = "Sorry, a page of one row has no row left once dithered.";
    const std::vector<Case> cases = {
        {"three inks", uniformPage(8, 4, 3, PHOTOMETRIC_SEPARATED, 50), inks},
        {"one ink", uniformPage(8, 4, 1, PHOTOMETRIC_SEPARATED, 50), inks},
        {"a mask", test::maskPage(8, 4), "Bad photometric 4; cannot make grey or colour of it."},
        // Dithering drops the last row: one row would leave a page of none.
        {"grey page of one row", greyPage(8, 1), oneRow},
        {"colour page of one row", rgbPage(8, 1), oneRow},
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::writeTiff(dir.file("in.tif"), c.page);
        std::string refusal;
        testing::internal::CaptureStderr();
        EXPECT_EQ(
            routeInto(dir.file("in.tif"), dir.file("bw.tif"), dir.file("tmptif.tbw"), 0, &refusal),
            BilevelOutcome::PageFailed)
            << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
        EXPECT_EQ(refusal, c.refusal) << c.what;
    }
}

TEST(ConvertPageToBilevel, FailsPagesWithAStripThatCannotBeDecoded) {
    for (std::uint16_t samples : {1, 3}) {
        TempDir dir;
        TestPage page = samples == 1 ? greyPage(30, 20) : rgbPage(30, 20);
        page.pixels = test::patternPixels(page);
        page.compression = COMPRESSION_LZW;
        page.rowsPerStrip = 4;
        test::writeTiff(dir.file("in.tif"), page);
        test::damageStrip(dir.file("in.tif"), 3);
        TiffHandle in = test::openPage(dir.file("in.tif"));
        TiffHandle out(dir.file("bw.tif"), "w");
        EXPECT_EQ(convertPageToBilevel(in.get(), out.get(), CompressionMode::Group4,
                                       dir.file("tmptif.tbw")),
                  BilevelOutcome::PageFailed)
            << samples << " samples";
    }
}

TEST(ConvertPageToBilevel, FailsPagesWhoseSizesDoNotMatchTheirData) {
    struct Case {
        const char* what;
        TestPage page;
        std::uint16_t tag;
        std::uint32_t value;
    };
    TestPage tiledGrey = greyPage(32, 32);
    tiledGrey.tiled = true;
    const std::vector<Case> cases = {
        {"grey, far wider than its data", greyPage(8, 4), TIFFTAG_IMAGEWIDTH, 0xFFFF},
        {"colour, far wider than its data", rgbPage(8, 4), TIFFTAG_IMAGEWIDTH, 0xFFFF},
        {"grey, somewhat wider than its data", greyPage(8, 4), TIFFTAG_IMAGEWIDTH, 1000},
        {"colour, longer than its data", rgbPage(8, 4), TIFFTAG_IMAGELENGTH, 5000},
        {"tiles wider than the page's tile data", tiledGrey, TIFFTAG_TILEWIDTH, 0xFFF0},
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::writeTiff(dir.file("in.tif"), c.page);
        test::setFirstPageTagValue(dir.file("in.tif"), c.tag, c.value);
        TiffHandle in = test::openPage(dir.file("in.tif"));
        ASSERT_TRUE(in) << c.what;
        TiffHandle out(dir.file("bw.tif"), "w");
        EXPECT_EQ(convertPageToBilevel(in.get(), out.get(), CompressionMode::Group4,
                                       dir.file("tmptif.tbw")),
                  BilevelOutcome::PageFailed)
            << c.what;
    }
}

TEST(ConvertPageToBilevel, SaysWhenTheScratchFileCannotBeCreated) {
    TempDir dir;
    test::writeTiff(dir.file("rgb.tif"),
                    withResolution(rgbPage(8, 4), kResolutionOnlyTheScratchFileKeeps));
    EXPECT_EQ(routeInto(dir.file("rgb.tif"), dir.file("bw.tif"), dir.file("missing/tmptif.tbw")),
              BilevelOutcome::ScratchUnavailable);
}

// The route every colour page took before its grey rows streamed into the
// diffusion: the grey scratch page, closed, reopened and dithered. The
// streamed route must give the same file byte for byte.
std::string throughScratchPage(const std::filesystem::path& input, const TempDir& dir) {
    {
        TiffHandle in = test::openPage(input);
        TiffHandle scratch(dir.file("reference.tbw"), "w");
        EXPECT_EQ(reduceToGray(in.get(), scratch.get()), kGrayWritten) << input;
    }
    TiffHandle grey(dir.file("reference.tbw"), "rm");
    TiffHandle out(dir.file("reference.tif"), "w");
    EXPECT_EQ(ditherToBilevel(grey.get(), out.get(), CompressionMode::Group4), kDitherWritten);
    EXPECT_TRUE(TIFFWriteDirectory(out.get()));
    out.close();
    return test::readTextFile(dir.file("reference.tif"));
}

std::string streamed(const std::filesystem::path& input, const TempDir& dir, CoreBudget* cores) {
    {
        TiffHandle in = test::openPage(input);
        TiffHandle out(dir.file("streamed.tif"), "w");
        EXPECT_EQ(convertPageToBilevel(in.get(), out.get(), CompressionMode::Group4,
                                       dir.file("missing/tmptif.tbw"), cores),
                  BilevelOutcome::Dithered)
            << input;
        EXPECT_TRUE(TIFFWriteDirectory(out.get()));
    }
    return test::readTextFile(dir.file("streamed.tif"));
}

TEST(ConvertPageToBilevel, StreamsColourPagesToTheBytesOfTheScratchRouteOnOneThreadOrMore) {
    struct Case {
        const char* what;
        TestPage page;
    };
    auto pattern = [](TestPage page) {
        page.pixels = test::patternPixels(page);
        return page;
    };
    TestPage strips = pattern(rgbPage(640, 480));
    strips.rowsPerStrip = 8;
    strips.compression = COMPRESSION_LZW;
    TestPage planes = strips;
    planes.planar = PLANARCONFIG_SEPARATE;
    planes.pixels = test::patternPixels(planes);
    TestPage tiles = pattern(rgbPage(640, 480));
    tiles.tiled = true;
    tiles.tileWidth = tiles.tileLength = 64;
    TestPage palette = uniformPage(700, 500, 1, PHOTOMETRIC_PALETTE, 0);
    palette.rowsPerStrip = 16;
    palette.pixels = test::patternPixels(palette);
    palette.extraTags = palettePage(0, 0).extraTags;
    TestPage jpeg = jpegPage(640, 480, 90);
    jpeg.pixels = test::patternPixels(jpeg);
    const std::vector<Case> cases = {
        {"RGB in strips of 8 rows", strips},
        {"RGB at 300 dpi", withResolution(strips, 300)},
        {"RGB at 28.45 dots a centimetre", withResolution(strips, 28.45)},
        {"RGB in planes", planes},
        {"RGB in tiles", tiles},
        {"palette", palette},
        {"YCbCr JPEG", jpeg},
        {"RGB in one strip", pattern(rgbPage(600, 500))},
    };
    for (const Case& c : cases) {
        TempDir dir;
        test::writeTiff(dir.file("in.tif"), c.page);
        const std::string reference = throughScratchPage(dir.file("in.tif"), dir);
        EXPECT_TRUE(streamed(dir.file("in.tif"), dir, nullptr) == reference) << c.what;
        CoreBudget twoCores(2);
        EXPECT_TRUE(streamed(dir.file("in.tif"), dir, &twoCores) == reference) << c.what;
    }

    const std::filesystem::path shared = test::sharedTestData();
    if (shared.empty())
        GTEST_SKIP() << "no shared test data";
    for (const char* name : {"rgb-3c-8b.tiff", "palette-1c-8b.tiff", "quad-jpeg.tif",
                             "quad-lzw-compat.tiff", "quad-tile.jpg.tiff", "zackthecat.tif"}) {
        TempDir dir;
        const std::string reference = throughScratchPage(shared / name, dir);
        CoreBudget twoCores(2);
        EXPECT_TRUE(streamed(shared / name, dir, &twoCores) == reference) << name;
    }
}

TEST(ConvertPageToBilevel, DithersOldStyleJpegThroughTheRgbaReader) {
    const std::filesystem::path shared = test::sharedTestData();
    if (shared.empty())
        GTEST_SKIP() << "no shared test data";
    TempDir dir;
    const std::filesystem::path cat = shared / "zackthecat.tif";
    ASSERT_EQ(routeInto(cat, dir.file("bw.tif"), dir.file("tmptif.tbw")), BilevelOutcome::Dithered);
    const test::DecodedPage bw = test::readPage(dir.file("bw.tif"));
    expectOneBitPage(bw, 234, 212, "old-style JPEG");

    // The share of white follows the picture's mean brightness.
    const std::vector<std::uint32_t> rgba = test::readRgba(cat);
    double brightness = 0;
    for (std::uint32_t pixel : rgba)
        brightness += (77 * TIFFGetR(pixel) + 151 * TIFFGetG(pixel) + 29 * TIFFGetB(pixel)) >> 8;
    brightness /= 255.0 * double(rgba.size());
    EXPECT_NEAR(whiteShare(bw), brightness, 0.03);
}

// End to end, through the convert and merge driver.
class ConvertFilesToFax : public testing::Test {
protected:
    ConvertResult convert(const std::filesystem::path& input,
                          CompressionMode mode = CompressionMode::Group4) {
        ConversionOptions options;
        options.compressionMode = mode;
        options.keepName = 1;
        options.tempFile = dir.file("tmptif.tbw");
        recorder.lines.clear();
        return convertFiles(1, {input.string()}, output(), options, recorder);
    }
    std::string output() const { return dir.file("out"); }
    std::string outputFile() const { return dir.file("out.tif"); }
    std::string report() const { return recorder.lines; }

    TempDir dir;
    test::ReportRecorder recorder;
};

TEST_F(ConvertFilesToFax, WritesEveryColourAndGreyPageOneBitAndOneRowShorterWithItsPageLine) {
    TestPage palette = palettePage(3, 90);
    palette.width = 25;
    palette.length = 10;
    palette.pixels.assign(250, 3);
    const std::vector<TestPage> pages = {rgbPage(40, 30, 77), greyPage(33, 20, 140), palette,
                                         jpegPage(48, 32, 60)};
    test::writeTiff(dir.file("in.tif"), pages);

    EXPECT_EQ(convert(dir.file("in.tif")), ConvertResult::Done);
    EXPECT_EQ(report(), "Convert: " + dir.file("in.tif") + " -> " + outputFile() +
                            "\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n"
                            "  -- Page 2 success\r\n  -- Page 3 success\r\n");
    ASSERT_EQ(test::countPages(outputFile()), 4);
    for (int i = 0; i < 4; ++i)
        expectOneBitPage(test::readPage(outputFile(), i), pages[i].width, pages[i].length - 1,
                         "page " + std::to_string(i));
}

TEST_F(ConvertFilesToFax, ReportsAPageTheRouteCannotTakeAndGoesOnWithTheNext) {
    test::writeTiff(dir.file("in.tif"),
                    std::vector<TestPage>{uniformPage(8, 4, 3, PHOTOMETRIC_SEPARATED, 50),
                                          rgbPage(12, 5), greyPage(9, 1), greyPage(10, 6)});
    testing::internal::CaptureStderr();
    EXPECT_EQ(convert(dir.file("in.tif")), ConvertResult::Done);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(report(), "Convert: " + dir.file("in.tif") + " -> " + outputFile() +
                            "\r\n  -- Sorry, can only handle CMYK inks.\r\n"
                            "  -- Page 0 failed\r\n  -- Page 1 success\r\n"
                            "  -- Sorry, a page of one row has no row left once dithered.\r\n"
                            "  -- Page 2 failed\r\n  -- Page 3 success\r\n");
    ASSERT_EQ(test::countPages(outputFile()), 2);
    expectOneBitPage(test::readPage(outputFile(), 0), 12, 4, "RGB page");
    expectOneBitPage(test::readPage(outputFile(), 1), 10, 5, "grey page");
}

TEST_F(ConvertFilesToFax, WritesTheGroup3OptionsOfEachRunsModeAfterARunOfAnotherMode) {
    test::writeTiff(dir.file("in.tif"), rgbPage(16, 6, 100));
    const std::vector<std::pair<CompressionMode, std::uint32_t>> runs = {
        {CompressionMode::Group3OneDimFill, 4},
        {CompressionMode::Group3OneDim, 0},
        {CompressionMode::Group3TwoDimFill, 5},
        {CompressionMode::Group3TwoDim, 1},
    };
    for (const auto& [mode, options] : runs) {
        EXPECT_EQ(convert(dir.file("in.tif"), mode), ConvertResult::Done);
        TiffHandle file = test::openPage(outputFile());
        ASSERT_TRUE(file) << "mode " << mode;
        std::uint16_t compression = 0;
        std::uint32_t written = 99;
        TIFFGetField(file.get(), TIFFTAG_COMPRESSION, &compression);
        EXPECT_EQ(compression, COMPRESSION_CCITTFAX3) << "mode " << mode;
        EXPECT_TRUE(TIFFGetField(file.get(), TIFFTAG_GROUP3OPTIONS, &written)) << "mode " << mode;
        EXPECT_EQ(written, options) << "mode " << mode;
    }
}

TEST_F(ConvertFilesToFax, EndsTheRunWhenTheScratchFileCannotBeCreated) {
    test::writeTiff(dir.file("in.tif"),
                    withResolution(rgbPage(16, 6), kResolutionOnlyTheScratchFileKeeps));
    ConversionOptions options;
    options.compressionMode = CompressionMode::Group4;
    options.tempFile = dir.file("missing/tmptif.tbw");
    EXPECT_EQ(convertFiles(1, {dir.file("in.tif")}, output(), options, recorder),
              ConvertResult::ScratchUnusable);
}

TEST_F(ConvertFilesToFax, WritesTheSharedColourAndGreyFilesAsOneBitPagesOfTheRightSize) {
    const std::filesystem::path shared = test::sharedTestData();
    if (shared.empty())
        GTEST_SKIP() << "no shared test data";
    const char* const names[] = {
        "minisblack-1c-8b.tiff", "palette-1c-8b.tiff", "rgb-3c-8b.tiff", "quad-jpeg.tif",
        "quad-lzw-compat.tiff",  "quad-tile.jpg.tiff", "zackthecat.tif"};
    for (const char* name : names) {
        const std::filesystem::path input = shared / name;
        ASSERT_TRUE(std::filesystem::exists(input)) << input;
        EXPECT_EQ(convert(input), ConvertResult::Done) << name;
        const int pages = test::countPages(input);
        std::string pageLines;
        for (int page = 0; page < pages; ++page)
            pageLines += "  -- Page " + std::to_string(page) + " success\r\n";
        EXPECT_EQ(report(),
                  "Convert: " + input.string() + " -> " + outputFile() + "\r\n" + pageLines)
            << name;
        ASSERT_EQ(test::countPages(outputFile()), pages) << name;
        for (int i = 0; i < pages; ++i) {
            TiffHandle page = test::openPage(input, i);
            std::uint32_t width = 0, length = 0;
            TIFFGetField(page.get(), TIFFTAG_IMAGEWIDTH, &width);
            TIFFGetField(page.get(), TIFFTAG_IMAGELENGTH, &length);
            expectOneBitPage(test::readPage(outputFile(), i), width, length - 1,
                             std::string(name) + " page " + std::to_string(i));
        }
    }
}

} // namespace
} // namespace pagesmith
