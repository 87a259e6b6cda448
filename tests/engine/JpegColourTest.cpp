#include "engine/ConvertFiles.h"
#include "support/Codes.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;

// A colour page the way scanners write it: JPEG with YCbCr coding.
TestPage jpegColourPage(std::uint16_t subsampling) {
    TestPage page = test::rgbPage(72, 48, COMPRESSION_JPEG);
    page.photometric = PHOTOMETRIC_YCBCR;
    page.rowsPerStrip = 16;
    page.jpegFromRgb = true;
    // Smooth colour areas: what JPEG keeps well.
    page.pixels.resize(page.rasterBytes());
    for (std::uint32_t y = 0; y < page.length; ++y)
        for (std::uint32_t x = 0; x < page.width; ++x) {
            std::uint8_t* pixel = &page.pixels[(y * page.width + x) * 3];
            pixel[0] = std::uint8_t(x * 3);
            pixel[1] = std::uint8_t(y * 5);
            pixel[2] = std::uint8_t(x < 36 ? 200 : 40);
        }
    page.extraTags = [subsampling](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, subsampling, subsampling);
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
    };
    return page;
}

class JpegColour : public ::testing::Test {
protected:
    // Converts `input` with each lossless mode and checks each output page is
    // labelled as the RGB it holds and looks like the input.
    void expectRgbOutputs(const std::filesystem::path& input) {
        for (const CompressionMode mode :
             {CompressionMode::Uncompressed, CompressionMode::PackBits, CompressionMode::Lzw}) {
            ConversionOptions options;
            options.compressionMode = mode;
            const std::string out = dir.file("out" + std::to_string(int(mode)));
            test::ReportRecorder report;
            convertFiles(1, {input.string()}, out, options, report);
            const TiffHandle page = test::openPage(out + ".tif");
            ASSERT_TRUE(page) << input << " mode " << mode << ": " << report.lines;
            std::uint16_t photometric = 0, sub1 = 0, sub2 = 0, positioning = 0;
            float* values = nullptr;
            EXPECT_TRUE(TIFFGetField(page.get(), TIFFTAG_PHOTOMETRIC, &photometric));
            EXPECT_EQ(photometric, PHOTOMETRIC_RGB) << input << " mode " << mode;
            EXPECT_FALSE(TIFFGetField(page.get(), TIFFTAG_YCBCRSUBSAMPLING, &sub1, &sub2));
            EXPECT_FALSE(TIFFGetField(page.get(), TIFFTAG_YCBCRPOSITIONING, &positioning));
            EXPECT_FALSE(TIFFGetField(page.get(), TIFFTAG_YCBCRCOEFFICIENTS, &values));
            EXPECT_FALSE(TIFFGetField(page.get(), TIFFTAG_REFERENCEBLACKWHITE, &values));
            EXPECT_GT(test::psnrRgb(test::readRgba(input), test::readRgba(out + ".tif")), 40.0)
                << input << " mode " << mode;
        }
    }

    TempDir dir;
    test::ReportRecorder report;
};

TEST_F(JpegColour, SubsampledPagesBecomeRgbPages) {
    test::writeTiff(dir.file("sub2.tif"), jpegColourPage(2));
    expectRgbOutputs(dir.file("sub2.tif"));
}

TEST_F(JpegColour, FullResolutionPagesBecomeRgbPages) {
    test::writeTiff(dir.file("sub1.tif"), jpegColourPage(1));
    expectRgbOutputs(dir.file("sub1.tif"));
}

TEST_F(JpegColour, JpegOutputStaysYCbCr) {
    test::writeTiff(dir.file("in.tif"), jpegColourPage(2));
    ConversionOptions options;
    options.compressionMode = CompressionMode::Jpeg;
    convertFiles(1, {dir.file("in.tif")}, dir.file("out"), options, report);
    const TiffHandle page = test::openPage(dir.file("out.tif"));
    std::uint16_t photometric = 0;
    ASSERT_TRUE(TIFFGetField(page.get(), TIFFTAG_PHOTOMETRIC, &photometric));
    EXPECT_EQ(photometric, PHOTOMETRIC_YCBCR);
    EXPECT_GT(
        test::psnrRgb(test::readRgba(dir.file("in.tif")), test::readRgba(dir.file("out.tif"))),
        30.0);
}

class RealJpegFiles : public JpegColour {
protected:
    void SetUp() override {
        JpegColour::SetUp();
        if (test::sharedTestData().empty())
            GTEST_SKIP() << "no shared test files here";
    }
};

TEST_F(RealJpegFiles, ScannerJpegBecomesRgb) {
    expectRgbOutputs(test::sharedTestData() / "quad-jpeg.tif");
}

TEST_F(RealJpegFiles, OldStyleJpegIsReadThroughTheRgbaReader) {
    expectRgbOutputs(test::sharedTestData() / "zackthecat.tif");
    // To JPEG it is re-encoded from the same RGB rows.
    ConversionOptions options;
    options.compressionMode = CompressionMode::Jpeg;
    convertFiles(1, {(test::sharedTestData() / "zackthecat.tif").string()}, dir.file("jpeg"),
                 options, report);
    EXPECT_GT(test::psnrRgb(test::readRgba(test::sharedTestData() / "zackthecat.tif"),
                            test::readRgba(dir.file("jpeg.tif"))),
              30.0);
}

} // namespace
} // namespace pagesmith
