#include "support/PageKinds.h"

#include "engine/fax/GrayReduction.h"
#include "engine/run/ConvertFiles.h"
#include "support/Codes.h"
#include "support/FaxFixtures.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <set>
#include <string>

namespace pagesmith {
namespace {

using test::PageKind;
using test::ReducedPage;
using test::TempDir;
using test::TestPage;

// A small page: an odd width, so packed samples end inside a byte.
constexpr std::uint32_t kWidth = 9, kLength = 5;

ConvertResult convertInto(const std::string& input, const std::string& outputBase,
                          CompressionMode mode, std::string* lines = nullptr) {
    ConversionOptions options;
    options.compressionMode = mode;
    options.tempFile = outputBase + ".tbw";
    test::ReportRecorder report;
    const ConvertResult result = convertFiles(1, {input}, outputBase, options, report);
    if (lines)
        *lines = report.lines;
    return result;
}

TEST(EveryKindOfPage, ReducesToTheGreyOfItsRulesItsProbesToTheGreyWorkedOutByHand) {
    for (const PageKind& kind : test::pageKinds()) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const ReducedPage expected = test::writeKind(kind, dir.file("in.tif"), kWidth, kLength);
        for (std::size_t i = 0; i < kind.greys.size(); ++i)
            ASSERT_EQ(expected.grey[i], kind.greys[i]) << "the rules of the test, probe " << i;
        {
            TiffHandle in = test::openPage(dir.file("in.tif"));
            TiffHandle scratch(dir.file("grey.tif"), "w");
            ASSERT_EQ(reduceToGray(in.get(), scratch.get()), kGrayWritten);
        }
        EXPECT_EQ(test::readPage(dir.file("grey.tif")).pixels, expected.grey);
    }
}

// The one-bit page of each kind is the one-bit page of its grey, bit for bit.
TEST(EveryKindOfPage, GoesToFaxAsTheBitsOfItsGrey) {
    for (const PageKind& kind : test::pageKinds()) {
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const ReducedPage expected = test::writeKind(kind, dir.file("in.tif"), kWidth, kLength);
        TestPage grey;
        grey.width = kWidth;
        grey.length = kLength;
        grey.pixels = expected.grey;
        test::writeTiff(dir.file("grey.tif"), grey);
        std::string lines;
        ASSERT_EQ(convertInto(dir.file("in.tif"), dir.file("out"), CompressionMode::Group4, &lines),
                  ConvertResult::Done)
            << lines;
        ASSERT_EQ(convertInto(dir.file("grey.tif"), dir.file("grey-out"), CompressionMode::Group4),
                  ConvertResult::Done);
        const test::DecodedPage bits = test::readPage(dir.file("out.tif"));
        EXPECT_EQ(bits.width, kWidth);
        EXPECT_EQ(bits.length, kLength - 1);
        EXPECT_EQ(bits.bitsPerSample, 1);
        EXPECT_EQ(bits.compression, COMPRESSION_CCITTFAX4);
        EXPECT_EQ(test::hexBytes(bits.pixels),
                  test::hexBytes(test::readPage(dir.file("grey-out.tif")).pixels));
    }
}

// Blocks of one colour survive JPEG within a step or two of each sample.
TEST(EveryKindOfPage, GoesToJpegAsItsEightBitGreyRgbOrCmyk) {
    // JPEG took these as they are before; their bytes are held elsewhere.
    const std::set<std::string> takenAsStored = {"CMYK", "CMYK, planar", "YCbCr, JPEG",
                                                 "CIE L*a*b*", "grey with alpha"};
    for (const PageKind& kind : test::pageKinds()) {
        if (takenAsStored.count(kind.name))
            continue;
        SCOPED_TRACE(kind.name);
        TempDir dir;
        const ReducedPage expected = test::writeKind(kind, dir.file("in.tif"), 32, 48, true);
        std::string lines;
        ASSERT_EQ(convertInto(dir.file("in.tif"), dir.file("out"), CompressionMode::Jpeg, &lines),
                  ConvertResult::Done)
            << lines;
        const test::DecodedPage written = test::readPage(dir.file("out.tif"));
        const std::map<std::uint16_t, std::uint16_t> photometricOf = {
            {1, PHOTOMETRIC_MINISBLACK}, {3, PHOTOMETRIC_YCBCR}, {4, PHOTOMETRIC_SEPARATED}};
        EXPECT_EQ(written.compression, COMPRESSION_JPEG);
        EXPECT_EQ(written.bitsPerSample, 8);
        EXPECT_EQ(written.samplesPerPixel, expected.channels);
        EXPECT_EQ(written.photometric, photometricOf.at(expected.channels));
        ASSERT_EQ(written.pixels.size(), expected.samples.size());
        // Inside the blocks: the decoder's upsampling blends colour across their edges.
        int worst = 0;
        for (std::uint32_t y = 0; y < 48; ++y)
            for (std::uint32_t x = 0; x < 32; ++x)
                for (std::uint16_t c = 0; c < expected.channels; ++c) {
                    const std::size_t i = (std::size_t(y) * 32 + x) * expected.channels + c;
                    if (x % 16 >= 2 && x % 16 < 14 && y % 16 >= 2 && y % 16 < 14)
                        worst = std::max(
                            worst, std::abs(int(written.pixels[i]) - int(expected.samples[i])));
                }
        EXPECT_LE(worst, 4);
    }
}

// What each kind gives in each mode: '+' a whole output, '-' no output and
// the page's failed line. Only pages without colours fail.
TEST(EveryKindOfPage, GivesAWholeOutputInEveryModeUnlessItHasNoColours) {
    TempDir dir;
    std::map<std::string, std::string> outcomes;
    for (const PageKind& kind : test::pageKinds())
        outcomes[kind.name] = "+++++++++";
    // Modes:                              012345678
    outcomes["one-bit black and white"] = "+++++++++";
    outcomes["transparency mask"] = "++-----+-";
    outcomes["two inks"] = "++-----++"; // JPEG took it as it is before
    for (const auto& [name, expected] : outcomes) {
        const std::string input = dir.file("in.tif");
        if (name == "one-bit black and white") {
            test::writeTiff(input, test::faxPage(kWidth, kLength));
        } else if (name == "transparency mask") {
            test::writeTiff(input, test::maskPage(kWidth, kLength));
        } else if (name == "two inks") {
            TestPage inks = test::rgbPage(kWidth, kLength);
            inks.samplesPerPixel = 2;
            inks.photometric = PHOTOMETRIC_SEPARATED;
            inks.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_INKSET, INKSET_MULTIINK); };
            test::writeTiff(input, inks);
        } else {
            for (const PageKind& kind : test::pageKinds())
                if (kind.name == name)
                    test::writeKind(kind, input, kWidth, kLength);
        }
        std::string outcome;
        for (const CompressionMode mode : kEveryCompressionMode) {
            const std::string out = dir.file("out-" + std::to_string(int(mode)));
            const bool written = convertInto(input, out, mode) == ConvertResult::Done;
            outcome += written && test::countPages(out + ".tif") == 1 ? '+' : '-';
        }
        EXPECT_EQ(outcome, expected) << name;
    }
}

} // namespace
} // namespace pagesmith
