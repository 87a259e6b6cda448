#include "support/PageKinds.h"

#include "engine/preview/PagePicture.h"
#include "engine/threads/CoreBudget.h"
#include "support/MeasuredChild.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;

PagePicture draw(const std::string& path, PreviewView view, int page = 0) {
    const std::atomic<bool> stop = false;
    return drawPagePicture({path, page, view}, stop);
}

PreviewView fitted(std::uint32_t width, std::uint32_t length) {
    return {width, length, PreviewZoom::Fit, 0, 0};
}

const PreviewView kOwnSize{2000, 2000, PreviewZoom::ActualSize, 0, 0};

// Samples of `channels` a pixel as the picture's words.
std::vector<std::uint32_t> words(const std::vector<std::uint8_t>& samples, int channels) {
    std::vector<std::uint32_t> pixels;
    for (std::size_t i = 0; i < samples.size(); i += std::size_t(channels)) {
        const std::uint32_t red = samples[i];
        const std::uint32_t green = channels == 1 ? red : samples[i + 1];
        const std::uint32_t blue = channels == 1 ? red : samples[i + 2];
        pixels.push_back(0xFF000000u | red << 16 | green << 8 | blue);
    }
    return pixels;
}

// The rounded average of each `factor` x `factor` block of a page's samples.
std::vector<std::uint8_t> blockAverages(const std::vector<std::uint8_t>& samples,
                                        std::uint32_t width, std::uint32_t length, int channels,
                                        std::uint32_t factor) {
    std::vector<std::uint8_t> out;
    const unsigned count = factor * factor;
    for (std::uint32_t y = 0; y < length; y += factor)
        for (std::uint32_t x = 0; x < width; x += factor)
            for (int c = 0; c < channels; ++c) {
                unsigned sum = 0;
                for (std::uint32_t dy = 0; dy < factor; ++dy)
                    for (std::uint32_t dx = 0; dx < factor; ++dx)
                        sum += samples[((y + dy) * width + x + dx) * std::size_t(channels) +
                                       std::size_t(c)];
                out.push_back(std::uint8_t((sum + count / 2) / count));
            }
    return out;
}

// Every kind of page shows the colours the conversion to grey reads it by,
// at its own size pixel for pixel, and halved as the average of each 2 x 2
// block of them.
TEST(PagePicture, ShowsEveryKindAsItsRulesReadItAndHalvesItByAverages) {
    constexpr std::uint32_t kWidth = 10, kLength = 6;
    for (const test::PageKind& kind : test::pageKinds()) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const test::ReducedPage page = test::writeKind(kind, dir.file("in.tif"), kWidth, kLength);
        const std::vector<std::uint8_t> samples = test::shownSamples(page);
        const int channels = page.channels == 1 ? 1 : 3;

        const PagePicture own = draw(dir.file("in.tif"), kOwnSize);
        ASSERT_EQ(own.failure, "");
        EXPECT_EQ(own.pixels, words(samples, channels));

        const PagePicture half = draw(dir.file("in.tif"), fitted(5, 3));
        EXPECT_EQ(half.shown.width, 5u);
        EXPECT_EQ(half.shown.length, 3u);
        EXPECT_EQ(half.pixels,
                  words(blockAverages(samples, kWidth, kLength, channels, 2), channels));
    }
}

// A 204 x 98 dpi fax has rows twice as far apart as its columns: each row is
// shown about twice (8 rows * 204 / 98 = 16.7 rows; row i of 17 shows source
// row i * 8 / 17).
TEST(PagePicture, ShowsAFaxOfUnequalResolutionsAtItsTrueAspect) {
    TempDir dir;
    TestPage fax = test::faxPage(8, 8, COMPRESSION_CCITTFAX3);
    fax.extraTags = [](TIFF* tif) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 204.0f);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 98.0f);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    };
    test::writeTiff(dir.file("fax.tif"), fax);
    const test::DecodedPage decoded = test::readPage(dir.file("fax.tif"));

    const PagePicture picture = draw(dir.file("fax.tif"), kOwnSize);
    ASSERT_EQ(picture.failure, "");
    EXPECT_EQ(picture.facts.xResolution, 204.0);
    EXPECT_EQ(picture.facts.yResolution, 98.0);
    ASSERT_EQ(picture.shown.width, 8u);
    ASSERT_EQ(picture.shown.length, 17u);
    const std::uint32_t sourceRows[17] = {0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7};
    for (std::uint32_t y = 0; y < 17; ++y)
        for (std::uint32_t x = 0; x < 8; ++x) {
            const bool black = (decoded.pixels[sourceRows[y]] >> (7 - x)) & 1;
            ASSERT_EQ(picture.pixels[y * 8 + x], black ? 0xFF000000u : 0xFFFFFFFFu)
                << "shown row " << y << " pixel " << x;
        }
}

// A page large enough to be read in parts on several threads shows what a
// reading at once shows, at its own size and a quarter of it, in as many
// parts as the budget has cores for; every core goes back.
TEST(PagePicture, APageReadInPartsShowsWhatItHolds) {
    TempDir dir;
    TestPage page;
    page.width = 64;
    page.length = 256;
    page.compression = COMPRESSION_LZW;
    page.rowsPerStrip = 8;
    test::writeTiff(dir.file("in.tif"), page);
    const std::vector<std::uint8_t> samples = test::patternPixels(page);

    const std::atomic<bool> stop = false;
    for (int cores : {1, 2, 4}) {
        SCOPED_TRACE(testing::Message() << cores << " cores");
        CoreBudget budget(cores);
        EXPECT_EQ(drawPagePicture({dir.file("in.tif"), 0, kOwnSize}, stop, budget).pixels,
                  words(samples, 1));
        EXPECT_EQ(drawPagePicture({dir.file("in.tif"), 0, fitted(16, 64)}, stop, budget).pixels,
                  words(blockAverages(samples, 64, 256, 1, 4), 1));
        EXPECT_EQ(budget.freeNow(), cores - 1);
    }
}

TEST(PagePicture, ShowsThePageAskedForAndCountsThePages) {
    TempDir dir;
    test::writeTiff(dir.file("three.tif"),
                    {test::faxPage(16, 10), test::rgbPage(12, 7), test::faxPage(16, 30)});
    const PagePicture second = draw(dir.file("three.tif"), kOwnSize, 1);
    EXPECT_EQ(second.pageCount, 3);
    EXPECT_EQ(second.facts.width, 12u);
    EXPECT_EQ(second.facts.length, 7u);
    EXPECT_EQ(second.pixels.size(), 12u * 7u);
}

// Overwrites `count` bytes of the file at `offset`.
void spoil(const std::string& path, std::uint64_t offset, std::size_t count) {
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekp(std::streamoff(offset));
    const std::string garbage(count, '\xFF');
    file.write(garbage.data(), std::streamsize(count));
}

// A page that cannot be shown says why, in place of a picture.
TEST(PagePicture, SaysWhyAPageCannotBeShown) {
    TempDir dir;
    test::writeTextFile(dir.file("notes.tif"), "not a tiff at all");
    test::writeTiff(dir.file("mask.tif"), test::maskPage());
    test::writeTiff(dir.file("two.tif"), {test::faxPage(), test::faxPage()});
    // A strip a row; the fourth spoilt.
    TestPage rgb = test::rgbPage(16, 8, COMPRESSION_LZW);
    rgb.rowsPerStrip = 1;
    test::writeTiff(dir.file("damaged.tif"), rgb);
    {
        TiffHandle file = test::openPage(dir.file("damaged.tif"));
        const std::uint64_t offset = TIFFGetStrileOffset(file.get(), 3);
        const std::uint64_t bytes = TIFFGetStrileByteCount(file.get(), 3);
        file.close();
        spoil(dir.file("damaged.tif"), offset, std::size_t(bytes));
    }
    struct FailureCase {
        const char* file;
        int page;
        std::string failure;
    };
    const FailureCase cases[] = {
        {"notes.tif", 0, "This is not a TIFF file, or it cannot be read."},
        {"gone.tif", 0, "This is not a TIFF file, or it cannot be read."},
        {"two.tif", 2, "The file has no page 3."},
        {"mask.tif", 0, "Bad photometric 4; cannot make grey or colour of it."},
        {"damaged.tif", 0, "The page is damaged: its row 4 cannot be read."},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.file);
        const PagePicture picture = draw(dir.file(c.file), fitted(100, 100), c.page);
        EXPECT_EQ(picture.failure, c.failure);
        EXPECT_TRUE(picture.pixels.empty());
        EXPECT_FALSE(picture.stopped);
    }
}

TEST(PagePicture, GivesUpWhenAskedToStop) {
    TempDir dir;
    test::writeTiff(dir.file("fax.tif"), test::faxPage(64, 64));
    const std::atomic<bool> stop = true;
    const PagePicture picture = drawPagePicture({dir.file("fax.tif"), 0, fitted(10, 10)}, stop);
    EXPECT_TRUE(picture.stopped);
    EXPECT_TRUE(picture.pixels.empty());
    EXPECT_EQ(picture.pageCount, 1);
}

// ---- Memory -------------------------------------------------------------

struct ChildOutcome {
    long growthKilobytes = 0;
    char failure[256] = {};
};

// ThreadSanitizer keeps several shadow bytes for each byte touched, so a
// resident size says little there; the other builds check it.
#if defined(__SANITIZE_THREAD__)
constexpr bool kShadowedMemory = true;
#else
constexpr bool kShadowedMemory = false;
#endif

ChildOutcome drawMeasured(const std::string& path, PreviewView view) {
    ChildOutcome outcome;
    const long before = test::peakKilobytes();
    const PagePicture picture = draw(path, view);
    outcome.growthKilobytes = test::peakKilobytes() - before;
    picture.failure.copy(outcome.failure, sizeof outcome.failure - 1);
    return outcome;
}

// Runs only as the child of the memory test where there is no fork: the file
// and the view come in the environment.
TEST(PagePictureChild, DISABLED_DrawsAndMeasures) {
    const auto number = [](const char* name) {
        return std::uint32_t(std::strtoul(std::getenv(name), nullptr, 10));
    };
    test::sendToParent(
        drawMeasured(std::getenv("PAGESMITH_TEST_INPUT"),
                     {number("PAGESMITH_TEST_WIDTH"), number("PAGESMITH_TEST_LENGTH"),
                      PreviewZoom(number("PAGESMITH_TEST_ZOOM")), number("PAGESMITH_TEST_X"),
                      number("PAGESMITH_TEST_Y")}));
}

// Draws the page in a child process, so its peak memory is the drawing's own.
ChildOutcome drawInChild(const std::string& path, PreviewView view) {
    return test::inMeasuredChild<ChildOutcome>(
        [&] { return drawMeasured(path, view); }, "PagePictureChild.DISABLED_DrawsAndMeasures",
        {{"PAGESMITH_TEST_INPUT", path},
         {"PAGESMITH_TEST_WIDTH", std::to_string(view.width)},
         {"PAGESMITH_TEST_LENGTH", std::to_string(view.length)},
         {"PAGESMITH_TEST_ZOOM", std::to_string(int(view.zoom))},
         {"PAGESMITH_TEST_X", std::to_string(view.scrollX)},
         {"PAGESMITH_TEST_Y", std::to_string(view.scrollY)}});
}

// Small files whose headers claim 30000 x 30000 pixels (and strips or tiles
// to match): each says why it cannot be shown, within 64 MB, at any zoom.
TEST(PagePicture, AHostileHeaderGetsItsReasonWithinSixtyFourMegabytes) {
    constexpr std::uint32_t kClaimed = 30000;
    const std::pair<std::uint16_t, std::uint32_t> width{TIFFTAG_IMAGEWIDTH, kClaimed},
        length{TIFFTAG_IMAGELENGTH, kClaimed}, oneStrip{TIFFTAG_ROWSPERSTRIP, kClaimed};
    TestPage oldJpeg = test::rgbPage(16, 16, COMPRESSION_JPEG);
    oldJpeg.photometric = PHOTOMETRIC_YCBCR;
    oldJpeg.jpegFromRgb = true;
    oldJpeg.rowsPerStrip = 16;
    TestPage tiled = test::rgbPage(16, 16, COMPRESSION_LZW);
    tiled.tiled = true;
    TestPage strip = test::rgbPage(16, 16, COMPRESSION_LZW);
    strip.rowsPerStrip = 16;
    TestPage planes = strip;
    planes.planar = PLANARCONFIG_SEPARATE;
    struct HostileCase {
        const char* name;
        TestPage page;
        std::vector<std::pair<std::uint16_t, std::uint32_t>> claims;
    };
    const HostileCase cases[] = {
        {"old-style JPEG in one strip",
         oldJpeg,
         {{TIFFTAG_COMPRESSION, COMPRESSION_OJPEG}, width, length, oneStrip}},
        {"one tile of the whole page",
         tiled,
         {width, length, {TIFFTAG_TILEWIDTH, kClaimed}, {TIFFTAG_TILELENGTH, kClaimed}}},
        {"one strip", strip, {width, length, oneStrip}},
        {"one strip a plane", planes, {width, length, oneStrip}},
        {"samples wider than a double",
         TestPage{},
         {width, length, {TIFFTAG_BITSPERSAMPLE, 48580}}},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::string path = dir.file("in.tif");
        test::writeTiff(path, c.page);
        for (const auto& [tag, value] : c.claims)
            test::setFirstPageTagValue(path, tag, value);
        for (PreviewView view :
             {fitted(400, 600), PreviewView{400, 600, PreviewZoom::ActualSize, 15000, 15000}}) {
            const ChildOutcome outcome = drawInChild(path, view);
            EXPECT_STRNE(outcome.failure, "");
            if (!kShadowedMemory) {
                EXPECT_LT(outcome.growthKilobytes, 64 * 1024) << "kilobytes";
            }
        }
    }
}

} // namespace
} // namespace pagesmith
