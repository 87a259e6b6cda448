#include "engine/fax/GrayReduction.h"

#include "support/FaxFixtures.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"
#include "tiff/TiffDiagnostics.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;
using Pixels = std::vector<std::uint8_t>;

// Reduces page 0 of `input` into a new scratch file, closed afterwards; the
// input's libtiff messages go to `messages`.
int reduceInto(const std::filesystem::path& input, const std::filesystem::path& scratch,
               TiffMessages* messages = nullptr) {
    TiffHandle in(input.string(), "r", messages);
    TiffHandle out(scratch.string(), "w");
    EXPECT_TRUE(in && out);
    return reduceToGray(in.get(), out.get());
}

// The grey samples a page reduces to.
Pixels grayOf(const TestPage& page, TiffMessages* messages = nullptr) {
    TempDir dir;
    test::writeTiff(dir.file("colour.tif"), page);
    EXPECT_EQ(reduceInto(dir.file("colour.tif"), dir.file("grey.tif"), messages), kGrayWritten);
    const test::DecodedPage grey = test::readPage(dir.file("grey.tif"));
    EXPECT_EQ(grey.width, page.width);
    EXPECT_EQ(grey.length, page.length);
    return grey.pixels;
}

TestPage rgbPage(std::uint32_t width, std::uint32_t length, Pixels pixels = {}) {
    TestPage page;
    page.width = width;
    page.length = length;
    page.samplesPerPixel = 3;
    page.photometric = PHOTOMETRIC_RGB;
    page.pixels = std::move(pixels);
    return page;
}

// Contiguous RGB samples rearranged into three planes.
Pixels toPlanes(const Pixels& rgb) {
    const std::size_t pixels = rgb.size() / 3;
    Pixels planes(rgb.size());
    for (std::size_t i = 0; i < pixels; ++i)
        for (std::size_t c = 0; c < 3; ++c)
            planes[c * pixels + i] = rgb[i * 3 + c];
    return planes;
}

// Soft colour gradients, which JPEG keeps close.
Pixels gradient(std::uint32_t width, std::uint32_t length) {
    Pixels rgb;
    for (std::uint32_t y = 0; y < length; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            rgb.push_back(std::uint8_t(40 + x * 3));
            rgb.push_back(std::uint8_t(200 - y * 2));
            rgb.push_back(std::uint8_t(90 + (x + y)));
        }
    return rgb;
}

// Keeps the warnings libtiff gives about the handle it is opened with.
class WarningRecorder : public TiffMessages {
public:
    void tiffMessage(bool error, const std::string&, const std::string& text) override {
        if (!error)
            warnings.push_back(text);
    }
    std::vector<std::string> warnings;
};

TEST(ReduceToGray, WeighsRedGreenAndBlueAs77And151And29Over256) {
    // white, red, green, blue, black, and a mixed colour: (770 + 3020 + 870) >> 8 = 18
    const Pixels row = {255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 10, 20, 30};
    Pixels rows = row;
    rows.insert(rows.end(), row.begin(), row.end());
    EXPECT_EQ(grayOf(rgbPage(6, 2, rows)),
              (Pixels{255, 76, 150, 28, 0, 18, 255, 76, 150, 28, 0, 18}));
}

TEST(ReduceToGray, GivesTheSameGreyWhateverTheLayoutOfTheRgbPage) {
    TestPage contiguous = rgbPage(37, 23);
    contiguous.pixels = test::patternPixels(contiguous);
    const Pixels expected = grayOf(contiguous);

    TestPage separate = contiguous;
    separate.planar = PLANARCONFIG_SEPARATE;
    separate.pixels = toPlanes(contiguous.pixels);

    struct Variant {
        const char* what;
        TestPage page;
    };
    std::vector<Variant> variants = {{"separate planes", separate}};
    TestPage page = separate;
    page.compression = COMPRESSION_LZW;
    page.rowsPerStrip = 4;
    variants.push_back({"separate planes in LZW strips of 4 rows", page});
    page = contiguous;
    page.compression = COMPRESSION_LZW;
    page.rowsPerStrip = 5;
    variants.push_back({"LZW strips of 5 rows", page});
    page = contiguous;
    page.tiled = true;
    variants.push_back({"tiles", page});
    page = separate;
    page.tiled = true;
    variants.push_back({"tiles in separate planes", page});

    for (const Variant& variant : variants)
        EXPECT_EQ(grayOf(variant.page), expected) << variant.what;
}

TEST(ReduceToGray, MapsPaletteIndicesThroughEightAndSixteenBitColourMaps) {
    struct Map {
        const char* what;
        std::vector<std::uint16_t> red, green, blue; // entries 0.. of the map
        Pixels grey;                                 // of indices 0..4
        bool warned;
    };
    const std::vector<Map> maps = {
        {"8-bit map",
         {255, 0, 0, 128, 254},
         {0, 255, 0, 128, 254},
         {0, 0, 255, 128, 254},
         {76, 150, 28, 128, 254},
         true},
        // 0x8000 * 255 / 65535 is 127 and 0xFF00 gives 254 (not 255 as a shift would).
        {"16-bit map",
         {65535, 0, 0, 0x8000, 0xFF00},
         {0, 65535, 0, 0x8000, 0xFF00},
         {0, 0, 65535, 0x8000, 0xFF00},
         {76, 150, 28, 127, 254},
         false},
    };
    for (const Map& map : maps) {
        TestPage page;
        page.width = 5;
        page.length = 2;
        page.photometric = PHOTOMETRIC_PALETTE;
        page.pixels = {0, 1, 2, 3, 4, 4, 3, 2, 1, 0};
        page.extraTags = [&map](TIFF* tif) {
            std::vector<std::uint16_t> red(256), green(256), blue(256);
            std::copy(map.red.begin(), map.red.end(), red.begin());
            std::copy(map.green.begin(), map.green.end(), green.begin());
            std::copy(map.blue.begin(), map.blue.end(), blue.begin());
            TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
        };
        const Pixels& g = map.grey;
        WarningRecorder recorder;
        EXPECT_EQ(grayOf(page, &recorder),
                  (Pixels{g[0], g[1], g[2], g[3], g[4], g[4], g[3], g[2], g[1], g[0]}))
            << map.what;
        EXPECT_EQ(recorder.warnings, map.warned
                                         ? std::vector<std::string>{"Assuming 8-bit colormap"}
                                         : std::vector<std::string>{})
            << map.what;
    }
}

TEST(ReduceToGray, WritesAnUncompressedGreyScratchPageWithItsOwnDescriptionAndSoftware) {
    TempDir dir;
    TestPage page = rgbPage(100, 3);
    page.extraTags = [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, "colour scan");
        TIFFSetField(tif, TIFFTAG_SOFTWARE, "scanner 2.1");
        TIFFSetField(tif, TIFFTAG_DOCUMENTNAME, "letter");
        TIFFSetField(tif, TIFFTAG_ARTIST, "clerk");
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.0);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, 2, 5);
        TIFFSetField(tif, TIFFTAG_ORIENTATION, ORIENTATION_BOTRIGHT);
    };
    test::writeTiff(dir.file("colour.tif"), page);
    ASSERT_EQ(reduceInto(dir.file("colour.tif"), dir.file("grey.tif")), kGrayWritten);

    const test::DecodedPage grey = test::readPage(dir.file("grey.tif"));
    EXPECT_EQ(grey.width, 100u);
    EXPECT_EQ(grey.length, 3u);
    EXPECT_EQ(grey.bitsPerSample, 8);
    EXPECT_EQ(grey.samplesPerPixel, 1);
    EXPECT_EQ(grey.planar, PLANARCONFIG_CONTIG);
    EXPECT_EQ(grey.compression, COMPRESSION_NONE);
    EXPECT_EQ(grey.photometric, PHOTOMETRIC_MINISBLACK);

    TiffHandle file = test::openPage(dir.file("grey.tif"));
    TIFF* tif = file.get();
    auto text = [tif](std::uint32_t tag) {
        char* value = nullptr;
        return TIFFGetField(tif, tag, &value) && value ? std::string(value) : std::string("-");
    };
    EXPECT_EQ(text(TIFFTAG_IMAGEDESCRIPTION), "tiff B&W operation");
    EXPECT_EQ(text(TIFFTAG_SOFTWARE), "tiff2bw");
    EXPECT_EQ(text(TIFFTAG_DOCUMENTNAME), "letter");
    EXPECT_EQ(text(TIFFTAG_ARTIST), "clerk");
    float resolution = 0;
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_XRESOLUTION, &resolution));
    EXPECT_FLOAT_EQ(resolution, 200.0f);
    std::uint32_t rowsPerStrip = 0;
    EXPECT_TRUE(TIFFGetField(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip));
    EXPECT_EQ(rowsPerStrip, 8192u / 100u);
    std::uint16_t first = 0, second = 0;
    EXPECT_FALSE(TIFFGetField(tif, TIFFTAG_PAGENUMBER, &first, &second));
    EXPECT_FALSE(TIFFGetField(tif, TIFFTAG_ORIENTATION, &first));
}

TEST(ReduceToGray, RefusesPagesItCannotMakeGreyWithTheirReasonsAndWritesNothing) {
    struct Case {
        const char* what;
        std::uint16_t photometric;
        std::uint16_t samplesPerPixel;
        std::uint16_t bitsPerSample;
        std::uint16_t sampleFormat;
        const char* refusal;
    };
    const std::vector<Case> cases = {
        {"a mask", PHOTOMETRIC_MASK, 1, 8, SAMPLEFORMAT_UINT,
         "Bad photometric 4; cannot make grey or colour of it."},
        {"three inks", PHOTOMETRIC_SEPARATED, 3, 8, SAMPLEFORMAT_UINT,
         "Sorry, can only handle CMYK inks."},
        // Three samples a pixel would be read from rows of one.
        {"RGB of one sample", PHOTOMETRIC_RGB, 1, 8, SAMPLEFORMAT_UINT,
         "Bad samples/pixel 1 for RGB."},
        {"complex samples", PHOTOMETRIC_MINISBLACK, 1, 32, SAMPLEFORMAT_COMPLEXINT,
         "Sorry, cannot handle sample format 5."},
        {"24-bit floating point", PHOTOMETRIC_MINISBLACK, 1, 24, SAMPLEFORMAT_IEEEFP,
         "Sorry, cannot handle 24-bit floating-point samples."},
        {"floating-point palette", PHOTOMETRIC_PALETTE, 1, 16, SAMPLEFORMAT_IEEEFP,
         "Sorry, cannot handle 16-bit palette indices."},
    };
    for (const Case& c : cases) {
        TempDir dir;
        TestPage page;
        page.photometric = c.photometric;
        page.samplesPerPixel = c.samplesPerPixel;
        page.bitsPerSample = c.bitsPerSample;
        page.extraTags = [&c](TIFF* tif) {
            TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, c.sampleFormat);
            if (c.photometric == PHOTOMETRIC_PALETTE) {
                std::vector<std::uint16_t> map(std::size_t(1) << c.bitsPerSample, 0);
                TIFFSetField(tif, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
            }
        };
        test::writeTiff(dir.file("in.tif"), page);
        TiffHandle in = test::openPage(dir.file("in.tif"));
        ASSERT_TRUE(in) << c.what;
        TiffHandle scratch(dir.file("scratch.tif"), "w");
        std::string refusal;
        testing::internal::CaptureStderr();
        EXPECT_EQ(reduceToGray(in.get(), scratch.get(), &refusal), kGrayRefused) << c.what;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << c.what;
        EXPECT_EQ(refusal, c.refusal) << c.what;
        std::uint32_t width = 0;
        EXPECT_FALSE(TIFFGetField(scratch.get(), TIFFTAG_IMAGEWIDTH, &width)) << c.what;
    }
}

// The JPEG codec hands YCbCr pages out as RGB once asked to; refused, such a
// page would silently go missing from a fax conversion.
TEST(ReduceToGray, DecodesYCbCrJpegPagesAsRgbInStripsAndTiles) {
    const TestPage original = rgbPage(64, 48, gradient(64, 48));
    const Pixels expected = grayOf(original);

    TestPage jpeg = original;
    jpeg.photometric = PHOTOMETRIC_YCBCR;
    jpeg.compression = COMPRESSION_JPEG;
    jpeg.jpegFromRgb = true;
    jpeg.rowsPerStrip = 16;
    jpeg.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95); };
    TestPage tiled = jpeg;
    tiled.tiled = true;
    tiled.tileWidth = 32;
    tiled.tileLength = 32;

    for (const TestPage& page : {jpeg, tiled}) {
        testing::internal::CaptureStderr();
        const Pixels grey = grayOf(page);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_EQ(grey.size(), expected.size());
        int worst = 0;
        for (std::size_t i = 0; i < grey.size(); ++i)
            worst = std::max(worst, std::abs(int(grey[i]) - int(expected[i])));
        EXPECT_LE(worst, 6) << (page.tiled ? "tiles" : "strips");
    }
}

// Plain YCbCr rows come as the file stores them (subsampled); libtiff's RGBA
// reader converts them, and must keep the stored row order as scanlines do.
TEST(ReduceToGray, ConvertsOtherYCbCrPagesThroughTheRgbaReaderInStoredRowOrder) {
    for (std::uint16_t orientation : {ORIENTATION_TOPLEFT, ORIENTATION_BOTLEFT}) {
        for (std::uint32_t rowsPerStrip : {5u, 0u}) {
            TestPage page = rgbPage(37, 23);
            page.photometric = PHOTOMETRIC_YCBCR;
            page.rowsPerStrip = rowsPerStrip;
            Pixels luma;
            for (std::uint32_t y = 0; y < page.length; ++y)
                for (std::uint32_t x = 0; x < page.width; ++x) {
                    luma.push_back(std::uint8_t(y * 11 + x * 3));
                    page.pixels.insert(page.pixels.end(), {luma.back(), 128, 128}); // no colour
                }
            page.extraTags = [orientation](TIFF* tif) {
                TIFFSetField(tif, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
                TIFFSetField(tif, TIFFTAG_ORIENTATION, orientation);
            };
            const Pixels grey = grayOf(page);
            ASSERT_EQ(grey.size(), luma.size());
            int worst = 0;
            for (std::size_t i = 0; i < grey.size(); ++i)
                worst = std::max(worst, std::abs(int(grey[i]) - int(luma[i])));
            EXPECT_LE(worst, 1) << "orientation " << orientation << ", strips of " << rowsPerStrip;
        }
    }
}

TEST(ReduceToGray, StopsPartWayAtAStripThatCannotBeDecoded) {
    for (std::uint16_t planar : {PLANARCONFIG_CONTIG, PLANARCONFIG_SEPARATE}) {
        TempDir dir;
        TestPage page = rgbPage(30, 20);
        page.planar = planar;
        page.compression = COMPRESSION_LZW;
        page.rowsPerStrip = 4;
        test::writeTiff(dir.file("colour.tif"), page);
        test::damageStrip(dir.file("colour.tif"), 2);
        EXPECT_EQ(reduceInto(dir.file("colour.tif"), dir.file("grey.tif")), kGrayStopped)
            << "planar " << planar;
    }
}

} // namespace
} // namespace pagesmith
