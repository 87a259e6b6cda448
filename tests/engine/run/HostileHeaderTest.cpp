#include "engine/run/ConvertFiles.h"
#include "support/MeasuredChild.h"
#include "support/Recorders.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace pagesmith {
namespace {

using test::TestPage;

// A small page whose header is then made to claim a picture of 30000 x 30000
// pixels (and, where given, strips or tiles to match), with the data of the
// small page only.
struct HostileCase {
    const char* name;
    TestPage page;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> claims;
    CompressionMode mode;
};

constexpr std::uint32_t kClaimedSide = 30000;

std::vector<HostileCase> cases() {
    TestPage oldJpeg = test::rgbPage(16, 16, COMPRESSION_JPEG);
    oldJpeg.photometric = PHOTOMETRIC_YCBCR;
    oldJpeg.jpegFromRgb = true;
    oldJpeg.rowsPerStrip = 16;
    TestPage tiled = test::rgbPage(16, 16, COMPRESSION_LZW);
    tiled.tiled = true;
    TestPage strip = test::rgbPage(16, 16, COMPRESSION_LZW);
    strip.rowsPerStrip = 16;
    const std::pair<std::uint16_t, std::uint32_t> width{TIFFTAG_IMAGEWIDTH, kClaimedSide},
        length{TIFFTAG_IMAGELENGTH, kClaimedSide}, oneStrip{TIFFTAG_ROWSPERSTRIP, kClaimedSide};
    return {
        // Old-style JPEG colour goes through the RGBA reader: one output strip
        // of the whole picture would be 2.7 GB.
        {"OldJpegInOneStrip",
         oldJpeg,
         {{TIFFTAG_COMPRESSION, COMPRESSION_OJPEG}, width, length, oneStrip},
         CompressionMode::Lzw},
        // A band at a time: what the strips of 16 rows need, no more.
        {"OldJpegInStrips",
         oldJpeg,
         {{TIFFTAG_COMPRESSION, COMPRESSION_OJPEG}, width, length},
         CompressionMode::Uncompressed},
        // Tiles to strips go through a whole-page buffer of 2.7 GB.
        {"TilesToStrips",
         tiled,
         {width, length, {TIFFTAG_TILEWIDTH, kClaimedSide}, {TIFFTAG_TILELENGTH, kClaimedSide}},
         CompressionMode::PackBits},
        // A strip copied whole: a buffer of 2.7 GB.
        {"OneHugeStrip", strip, {width, length, oneStrip}, CompressionMode::Lzw},
        // Samples of 48580 bits (as the fuzzer found): rows of 182 MB each.
        {"SamplesWiderThanADouble",
         TestPage{},
         {width, length, oneStrip, {TIFFTAG_BITSPERSAMPLE, 48580}},
         CompressionMode::Lzw},
    };
}

void PrintTo(const HostileCase& hostile, std::ostream* out) {
    *out << hostile.name;
}

// What the conversion in the child process did.
struct ChildOutcome {
    ConvertResult result = ConvertResult::OutputUnusable;
    long growthKilobytes = 0;
    bool pageFailed = false;
    char lines[512] = {};
};

ChildOutcome convertMeasured(const std::string& input, CompressionMode mode,
                             const std::string& outputBase) {
    ChildOutcome outcome;
    const long before = test::peakKilobytes();
    ConversionOptions options;
    options.compressionMode = mode;
    test::ReportRecorder report;
    outcome.result = convertFiles(1, {input}, outputBase, options, report);
    outcome.growthKilobytes = test::peakKilobytes() - before;
    outcome.pageFailed = report.lines.find("  -- Page 0 failed\r\n") != std::string::npos;
    report.lines.copy(outcome.lines, sizeof outcome.lines - 1);
    return outcome;
}

// Runs only as the child of HostileHeaders where there is no fork: the input,
// the mode and the output base come in the environment.
TEST(HostileHeadersChild, DISABLED_ConvertsAndMeasures) {
    test::sendToParent(
        convertMeasured(std::getenv("PAGESMITH_TEST_INPUT"),
                        CompressionMode(std::atoi(std::getenv("PAGESMITH_TEST_MODE"))),
                        std::getenv("PAGESMITH_TEST_OUTPUT")));
}

class HostileHeaders : public ::testing::TestWithParam<HostileCase> {
protected:
    // Converts in a child process, so its peak memory is the conversion's own.
    ChildOutcome convertInChild(const std::string& input) {
        const CompressionMode mode = GetParam().mode;
        const std::string output = dir.file("out");
        return test::inMeasuredChild<ChildOutcome>(
            [&] { return convertMeasured(input, mode, output); },
            "HostileHeadersChild.DISABLED_ConvertsAndMeasures",
            {{"PAGESMITH_TEST_INPUT", input},
             {"PAGESMITH_TEST_MODE", std::to_string(int(mode))},
             {"PAGESMITH_TEST_OUTPUT", output}});
    }

    test::TempDir dir;
};

// Memory follows what the file's data can fill, not what its header claims:
// the page fails with its line, and the process grows by little.
TEST_P(HostileHeaders, FailThePageWithoutTakingTheMemoryTheyClaim) {
    const HostileCase& hostile = GetParam();
    const std::string input = dir.file("in.tif");
    test::writeTiff(input, hostile.page);
    for (const auto& [tag, value] : hostile.claims)
        test::setFirstPageTagValue(input, tag, value);
    ASSERT_LT(std::filesystem::file_size(input), 10000u);

    const ChildOutcome outcome = convertInChild(input);
    EXPECT_EQ(outcome.result, ConvertResult::NoPageWritten);
    EXPECT_TRUE(outcome.pageFailed) << outcome.lines;
    EXPECT_LT(outcome.growthKilobytes, 64 * 1024) << "kilobytes";
    EXPECT_FALSE(std::filesystem::exists(dir.file("out.tif")));
}

INSTANTIATE_TEST_SUITE_P(Table, HostileHeaders, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<HostileCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace pagesmith
