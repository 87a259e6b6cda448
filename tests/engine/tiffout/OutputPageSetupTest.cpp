#include "engine/run/ConvertFiles.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;

TestPage faxPage() {
    return test::faxPage(48, 20);
}

TestPage rgbPage(std::uint32_t rowsPerStrip) {
    TestPage page = test::rgbPage(40, 48);
    page.rowsPerStrip = rowsPerStrip;
    return page;
}

// Converts pages to one output and opens its first page.
class OutputPage : public ::testing::Test {
protected:
    TiffHandle convert(const std::vector<TestPage>& pages, CompressionMode mode, int page = 0) {
        test::writeTiff(dir.file("in.tif"), pages);
        ConversionOptions options;
        options.compressionMode = mode;
        options.tempFile = dir.file("scratch.tbw");
        convertFiles(1, {dir.file("in.tif")}, dir.file("out"), options, report);
        return test::openPage(dir.file("out.tif"), page);
    }

    template <typename T> std::optional<T> field(const TiffHandle& file, ttag_t tag) {
        T value{};
        if (!file || !TIFFGetField(file.get(), tag, &value))
            return std::nullopt;
        return value;
    }

    TempDir dir;
    test::ReportRecorder report;
};

TEST_F(OutputPage, FaxToLzwKeepsTheDescriptionButNotTheFaxTags) {
    TestPage page = faxPage();
    page.extraTags = [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 204.0);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 98.0);
        TIFFSetField(tif, TIFFTAG_DOCUMENTNAME, "invoice");
        TIFFSetField(tif, TIFFTAG_PAGENAME, "first");
        TIFFSetField(tif, TIFFTAG_SOFTWARE, "scanner 2.1");
        TIFFSetField(tif, TIFFTAG_DATETIME, "2009:07:19 03:26:56");
        TIFFSetField(tif, TIFFTAG_GROUP4OPTIONS, 0u);
        TIFFSetField(tif, TIFFTAG_CLEANFAXDATA, 1);
    };
    const TiffHandle out = convert({page}, CompressionMode::Lzw);
    EXPECT_EQ(field<std::uint16_t>(out, TIFFTAG_PHOTOMETRIC), PHOTOMETRIC_MINISWHITE);
    EXPECT_EQ(field<std::uint16_t>(out, TIFFTAG_RESOLUTIONUNIT), RESUNIT_INCH);
    EXPECT_EQ(field<float>(out, TIFFTAG_XRESOLUTION), 204.0f);
    EXPECT_EQ(field<float>(out, TIFFTAG_YRESOLUTION), 98.0f);
    EXPECT_STREQ(*field<char*>(out, TIFFTAG_DOCUMENTNAME), "invoice");
    EXPECT_STREQ(*field<char*>(out, TIFFTAG_PAGENAME), "first");
    EXPECT_STREQ(*field<char*>(out, TIFFTAG_SOFTWARE), "scanner 2.1");
    EXPECT_STREQ(*field<char*>(out, TIFFTAG_DATETIME), "2009:07:19 03:26:56");
    EXPECT_FALSE(field<std::uint32_t>(out, TIFFTAG_GROUP4OPTIONS));
    EXPECT_FALSE(field<std::uint16_t>(out, TIFFTAG_CLEANFAXDATA));
}

TEST_F(OutputPage, GroupThreeOptionsComeFromTheModeAndGroupFourOptionsFromTheInput) {
    TestPage page = faxPage();
    page.compression = COMPRESSION_CCITTFAX3;
    page.group3Options = GROUP3OPT_FILLBITS; // the input's own say nothing
    for (const auto& [mode, options] : {std::pair{CompressionMode::Group3OneDimFill, 4u},
                                        std::pair{CompressionMode::Group3OneDim, 0u},
                                        std::pair{CompressionMode::Group3TwoDimFill, 5u},
                                        std::pair{CompressionMode::Group3TwoDim, 1u}})
        EXPECT_EQ(field<std::uint32_t>(convert({page}, mode), TIFFTAG_GROUP3OPTIONS), options)
            << int(mode);

    TestPage g4 = faxPage();
    g4.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_GROUP4OPTIONS, 0u); };
    EXPECT_EQ(field<std::uint32_t>(convert({g4}, CompressionMode::Group4), TIFFTAG_GROUP4OPTIONS),
              0u);
}

TEST_F(OutputPage, JpegOutputIsYCbCrInWholeBlocksOfSixteenRows) {
    for (const auto& [input, output] :
         std::vector<std::pair<std::uint32_t, std::uint32_t>>{{8, 16}, {40, 32}, {48, 48}}) {
        TestPage page = rgbPage(input);
        page.pixels.resize(page.rasterBytes());
        for (std::size_t i = 0; i < page.pixels.size(); ++i)
            page.pixels[i] = std::uint8_t(i / 3 % 40 * 5 + i % 3 * 20); // smooth, as JPEG likes
        const TiffHandle out = convert({page}, CompressionMode::Jpeg);
        EXPECT_EQ(field<std::uint16_t>(out, TIFFTAG_PHOTOMETRIC), PHOTOMETRIC_YCBCR);
        EXPECT_EQ(field<std::uint16_t>(out, TIFFTAG_COMPRESSION), COMPRESSION_JPEG);
        EXPECT_EQ(field<std::uint32_t>(out, TIFFTAG_ROWSPERSTRIP), output) << input;
    }
    // Decoded back, the page is close to what went in.
    EXPECT_GT(
        test::psnrRgb(test::readRgba(dir.file("in.tif")), test::readRgba(dir.file("out.tif"))),
        30.0);
}

TEST_F(OutputPage, OrientationKeepsTheRowOrder) {
    const std::vector<std::pair<std::uint16_t, std::uint16_t>> cases = {
        {1, 1}, {2, 1}, {3, 4}, {4, 4}, {5, 5}, {6, 1}, {7, 4}, {8, 8}, {9, 1}};
    for (const auto& [input, output] : cases) {
        TestPage page = faxPage();
        page.extraTags = [in = input](TIFF* tif) { TIFFSetField(tif, TIFFTAG_ORIENTATION, in); };
        const TiffHandle out = convert({page}, CompressionMode::Lzw);
        EXPECT_EQ(field<std::uint16_t>(out, TIFFTAG_ORIENTATION), output) << input;
        EXPECT_EQ(test::readPage(dir.file("out.tif")).pixels,
                  test::readPage(dir.file("in.tif")).pixels);
    }
}

TEST_F(OutputPage, StripHeightFollowsTheInputOrTheDefaultSize) {
    TestPage page = rgbPage(8);
    EXPECT_EQ(field<std::uint32_t>(convert({page}, CompressionMode::Lzw), TIFFTAG_ROWSPERSTRIP),
              8u);
    // Without RowsPerStrip: as many rows as fit in 8 KB.
    page.extraTags = [](TIFF* tif) { TIFFUnsetField(tif, TIFFTAG_ROWSPERSTRIP); };
    page.rowsPerStrip = 0;
    EXPECT_EQ(
        field<std::uint32_t>(convert({page}, CompressionMode::Uncompressed), TIFFTAG_ROWSPERSTRIP),
        8192u / (40 * 3));
}

TEST_F(OutputPage, TheRunsFirstPageDecidesTiling) {
    TestPage tiled = rgbPage(0);
    tiled.tiled = true;
    tiled.tileWidth = 32;
    tiled.tileLength = 16;
    TestPage striped = rgbPage(16);
    test::writeTiff(dir.file("tiled.tif"), tiled);
    test::writeTiff(dir.file("striped.tif"), striped);
    ConversionOptions options;
    options.compressionMode = CompressionMode::Lzw;
    convertFiles(2, {dir.file("tiled.tif"), dir.file("striped.tif")}, dir.file("out"), options,
                 report);
    ASSERT_EQ(test::countPages(dir.file("out.tif")), 2);
    for (int page = 0; page < 2; ++page) {
        const TiffHandle out = test::openPage(dir.file("out.tif"), page);
        EXPECT_TRUE(TIFFIsTiled(out.get()));
        // The striped page has no tile size of its own: the default.
        EXPECT_EQ(field<std::uint32_t>(out, TIFFTAG_TILEWIDTH), page == 0 ? 32u : 256u);
        EXPECT_EQ(field<std::uint32_t>(out, TIFFTAG_TILELENGTH), page == 0 ? 16u : 256u);
    }
    EXPECT_EQ(test::readPage(dir.file("out.tif"), 1).pixels,
              test::readPage(dir.file("striped.tif")).pixels);
}

TEST_F(OutputPage, ForcedFillOrderReplacesTheInputs) {
    test::writeTiff(dir.file("in.tif"), faxPage());
    ConversionOptions options;
    options.compressionMode = CompressionMode::Group4;
    options.fillOrder = FILLORDER_LSB2MSB;
    convertFiles(1, {dir.file("in.tif")}, dir.file("out"), options, report);
    const TiffHandle out = test::openPage(dir.file("out.tif"));
    EXPECT_EQ(field<std::uint16_t>(out, TIFFTAG_FILLORDER), FILLORDER_LSB2MSB);
    EXPECT_EQ(test::readPage(dir.file("out.tif")).pixels,
              test::readPage(dir.file("in.tif")).pixels);
}

TEST_F(OutputPage, InkNamesKeepTheirByteLength) {
    TestPage page = rgbPage(16);
    page.samplesPerPixel = 4;
    page.photometric = PHOTOMETRIC_SEPARATED;
    page.extraTags = [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_INKSET, INKSET_MULTIINK);
        TIFFSetField(tif, TIFFTAG_NUMBEROFINKS, 4);
        TIFFSetField(tif, TIFFTAG_INKNAMES, 8, "C\0M\0Y\0K\0");
    };
    const TiffHandle out = convert({page}, CompressionMode::Lzw);
    EXPECT_EQ(field<std::uint16_t>(out, TIFFTAG_NUMBEROFINKS), 4);
    const std::optional<char*> names = field<char*>(out, TIFFTAG_INKNAMES);
    ASSERT_TRUE(names);
    EXPECT_EQ(std::memcmp(*names, "C\0M\0Y\0K\0", 8), 0);
    EXPECT_EQ(test::readPage(dir.file("out.tif")).pixels,
              test::readPage(dir.file("in.tif")).pixels);
}

TEST_F(OutputPage, ColourDescriptionsAndProfilesAreCopied) {
    const std::vector<std::uint8_t> profile(200, 0x5A);
    TestPage page = rgbPage(16);
    page.extraTags = [&profile](TIFF* tif) {
        const float white[2] = {0.3127f, 0.329f};
        const float primaries[6] = {0.64f, 0.33f, 0.3f, 0.6f, 0.15f, 0.06f};
        TIFFSetField(tif, TIFFTAG_WHITEPOINT, white);
        TIFFSetField(tif, TIFFTAG_PRIMARYCHROMATICITIES, primaries);
        TIFFSetField(tif, TIFFTAG_ICCPROFILE, std::uint32_t(profile.size()), profile.data());
        TIFFSetField(tif, TIFFTAG_ARTIST, "scanner operator");
    };
    const TiffHandle out = convert({page}, CompressionMode::Uncompressed);
    float* white = nullptr;
    ASSERT_TRUE(TIFFGetField(out.get(), TIFFTAG_WHITEPOINT, &white));
    EXPECT_FLOAT_EQ(white[0], 0.3127f);
    EXPECT_FLOAT_EQ(white[1], 0.329f);
    float* primaries = nullptr;
    ASSERT_TRUE(TIFFGetField(out.get(), TIFFTAG_PRIMARYCHROMATICITIES, &primaries));
    EXPECT_FLOAT_EQ(primaries[5], 0.06f);
    std::uint32_t length = 0;
    void* data = nullptr;
    ASSERT_TRUE(TIFFGetField(out.get(), TIFFTAG_ICCPROFILE, &length, &data));
    EXPECT_EQ(std::vector<std::uint8_t>(static_cast<std::uint8_t*>(data),
                                        static_cast<std::uint8_t*>(data) + length),
              profile);
    EXPECT_STREQ(*field<char*>(out, TIFFTAG_ARTIST), "scanner operator");
}

TEST_F(OutputPage, GreyWithAlphaAndATransferCurveCopies) {
    TestPage page = rgbPage(16);
    page.samplesPerPixel = 2;
    page.photometric = PHOTOMETRIC_MINISBLACK;
    std::vector<std::uint16_t> curve(256);
    for (std::size_t i = 0; i < curve.size(); ++i)
        curve[i] = std::uint16_t(i * 257);
    page.extraTags = [&curve](TIFF* tif) {
        const std::uint16_t alpha = EXTRASAMPLE_ASSOCALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &alpha);
        TIFFSetField(tif, TIFFTAG_TRANSFERFUNCTION, curve.data());
    };
    const TiffHandle out = convert({page}, CompressionMode::PackBits);
    std::uint16_t count = 0;
    std::uint16_t* extra = nullptr;
    ASSERT_TRUE(TIFFGetField(out.get(), TIFFTAG_EXTRASAMPLES, &count, &extra));
    EXPECT_EQ(count, 1);
    EXPECT_EQ(extra[0], EXTRASAMPLE_ASSOCALPHA);
    EXPECT_EQ(test::readPage(dir.file("out.tif")).pixels,
              test::readPage(dir.file("in.tif")).pixels);
}

// A page's TransferFunction as written (one table for every channel, or one
// each) and the three tables a three-channel output page must hand out.
struct TransferCase {
    const char* name;
    std::uint16_t samplesPerPixel;
    std::uint16_t extraSamples;
    bool tablePerChannel;
};

TEST_F(OutputPage, TransferFunctionsKeepTheirTablesThroughThreeChannelPages) {
    const std::vector<TransferCase> cases = {
        {"RgbWithOneTable", 3, 0, false},
        {"RgbWithATableEach", 3, 0, true},
        {"GreyWithTwoExtraSamplesAndOneTable", 3, 2, false},
    };
    std::vector<std::vector<std::uint16_t>> tables(3, std::vector<std::uint16_t>(256));
    for (std::size_t c = 0; c < tables.size(); ++c)
        for (std::size_t i = 0; i < 256; ++i)
            tables[c][i] = std::uint16_t(i * 257 - c * 1000 * (i > 4));
    for (const TransferCase& run : cases) {
        SCOPED_TRACE(run.name);
        TestPage page = rgbPage(16);
        page.samplesPerPixel = run.samplesPerPixel;
        page.photometric = run.extraSamples ? PHOTOMETRIC_MINISBLACK : PHOTOMETRIC_RGB;
        page.extraTags = [&](TIFF* tif) {
            if (run.extraSamples) {
                const std::uint16_t extra[] = {EXTRASAMPLE_UNSPECIFIED, EXTRASAMPLE_UNSPECIFIED};
                TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, run.extraSamples, extra);
                TIFFSetField(tif, TIFFTAG_TRANSFERFUNCTION, tables[0].data());
            } else if (run.tablePerChannel) {
                TIFFSetField(tif, TIFFTAG_TRANSFERFUNCTION, tables[0].data(), tables[1].data(),
                             tables[2].data());
            } else {
                TIFFSetField(tif, TIFFTAG_TRANSFERFUNCTION, tables[0].data(), tables[0].data(),
                             tables[0].data());
            }
        };
        const TiffHandle out = convert({page}, CompressionMode::Lzw);
        std::uint16_t* written[3] = {nullptr, nullptr, nullptr};
        ASSERT_TRUE(TIFFGetField(out.get(), TIFFTAG_TRANSFERFUNCTION, &written[0], &written[1],
                                 &written[2]));
        const int channels = run.extraSamples ? 1 : 3;
        for (int c = 0; c < channels; ++c) {
            ASSERT_TRUE(written[c]);
            EXPECT_EQ(std::vector<std::uint16_t>(written[c], written[c] + 256),
                      tables[run.tablePerChannel ? c : 0])
                << "channel " << c;
        }
        EXPECT_EQ(test::readPage(dir.file("out.tif")).pixels,
                  test::readPage(dir.file("in.tif")).pixels);
    }
}

TEST_F(OutputPage, PaletteKeepsItsColourMap) {
    TestPage page = rgbPage(16);
    page.samplesPerPixel = 1;
    page.bitsPerSample = 4;
    page.photometric = PHOTOMETRIC_PALETTE;
    std::vector<std::uint16_t> red(16), green(16), blue(16);
    for (int i = 0; i < 16; ++i) {
        red[i] = std::uint16_t(i * 4369);
        green[i] = std::uint16_t(65535 - i * 4369);
        blue[i] = std::uint16_t(i * 1000);
    }
    page.extraTags = [&](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    };
    const TiffHandle out = convert({page}, CompressionMode::Lzw);
    std::uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    ASSERT_TRUE(TIFFGetField(out.get(), TIFFTAG_COLORMAP, &r, &g, &b));
    EXPECT_EQ(std::vector<std::uint16_t>(g, g + 16), green);
    EXPECT_EQ(std::vector<std::uint16_t>(b, b + 16), blue);
}

} // namespace
} // namespace pagesmith
