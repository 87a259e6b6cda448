#include "engine/run/ConvertFiles.h"
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

// What the JPEG encoder cannot take as it is goes to it as 8-bit grey, RGB
// or CMYK, alpha composited; what cannot be made so either is refused before
// anything is written, so no page without data is left in a file.
TEST(JpegOutput, TakesEveryPageWithColoursAndKeepsNoneHalfWritten) {
    const auto page = [](std::uint16_t samples, std::uint16_t photometric,
                         std::uint16_t extraSamples = 0) {
        TestPage result = test::rgbPage(16, 16, COMPRESSION_NONE);
        result.samplesPerPixel = samples;
        result.photometric = photometric;
        result.extraTags = [extraSamples](TIFF* tif) {
            const std::uint16_t kinds[4] = {EXTRASAMPLE_UNASSALPHA, EXTRASAMPLE_UNSPECIFIED,
                                            EXTRASAMPLE_UNSPECIFIED, EXTRASAMPLE_UNSPECIFIED};
            if (extraSamples)
                TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, extraSamples, kinds);
        };
        return result;
    };
    const struct {
        const char* name;
        TestPage page;
        std::uint16_t writtenSamples; // 0: refused
    } cases[] = {
        {"grey", page(1, PHOTOMETRIC_MINISBLACK), 1},
        {"rgb", page(3, PHOTOMETRIC_RGB), 3},
        {"cmyk", page(4, PHOTOMETRIC_SEPARATED), 4},
        {"grey with alpha", page(2, PHOTOMETRIC_MINISBLACK, 1), 2},
        {"two greys", page(2, PHOTOMETRIC_MINISBLACK), 2},
        {"grey with three extra", page(4, PHOTOMETRIC_MINISBLACK, 3), 4},
        {"rgb with alpha", page(4, PHOTOMETRIC_RGB, 1), 3},
        {"cmyk with alpha", page(5, PHOTOMETRIC_SEPARATED, 1), 4},
        {"five inks", page(5, PHOTOMETRIC_SEPARATED), 4},
        {"a mask", page(1, PHOTOMETRIC_MASK), 0},
    };

    TempDir dir;
    for (const auto& [name, input, writtenSamples] : cases) {
        test::writeTiff(dir.file("in.tif"), {input});
        ConversionOptions options;
        options.compressionMode = CompressionMode::Jpeg;
        test::ReportRecorder report;
        const ConvertResult result =
            convertFiles(1, {dir.file("in.tif")}, dir.file("out"), options, report);
        if (writtenSamples) {
            EXPECT_EQ(result, ConvertResult::Done) << name << ": " << report.lines;
            const test::DecodedPage written = test::readPage(dir.file("out.tif"));
            EXPECT_EQ(written.samplesPerPixel, writtenSamples) << name;
            EXPECT_EQ(written.pixels.size(), std::size_t(16) * 16 * writtenSamples) << name;
        } else {
            EXPECT_EQ(result, ConvertResult::NoPageWritten) << name;
            EXPECT_NE(report.lines.find("  -- Page 0 failed\r\n"), std::string::npos) << name;
            EXPECT_FALSE(std::filesystem::exists(dir.file("out.tif"))) << name;
        }
        std::filesystem::remove(dir.file("out.tif"));
    }
    // Refused before its first strip, a page leaves nothing behind the good
    // page before it.
    test::writeTiff(dir.file("in.tif"), {page(3, PHOTOMETRIC_RGB), page(1, PHOTOMETRIC_MASK)});
    ConversionOptions options;
    options.compressionMode = CompressionMode::Jpeg;
    test::ReportRecorder report;
    EXPECT_EQ(convertFiles(1, {dir.file("in.tif")}, dir.file("out"), options, report),
              ConvertResult::Done);
    EXPECT_EQ(test::countPages(dir.file("out.tif")), 1);
}

} // namespace
} // namespace pagesmith
