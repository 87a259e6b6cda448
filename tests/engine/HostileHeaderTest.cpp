#include "engine/ConvertFiles.h"
#include "platform/Utf8Paths.h"
#include "support/Recorders.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#ifdef _WIN32
#include "support/WindowsProcess.h"

#include <psapi.h>
#else
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

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

// The most memory the process has held in pages it touched.
long peakKilobytes() {
#ifdef _WIN32
    PROCESS_MEMORY_COUNTERS counters{};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return long(counters.PeakWorkingSetSize / 1024);
#else
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#endif
}

// What the conversion in the child process did.
struct ChildOutcome {
    int result = 1;
    long growthKilobytes = 0;
    bool pageFailed = false;
    char lines[512] = {};
};

ChildOutcome convertMeasured(const std::string& input, CompressionMode mode,
                             const std::string& outputBase) {
    ChildOutcome outcome;
    const long before = peakKilobytes();
    ConversionOptions options;
    options.compressionMode = mode;
    test::ReportRecorder report;
    outcome.result = convertFiles(1, {input}, outputBase, options, report);
    outcome.growthKilobytes = peakKilobytes() - before;
    outcome.pageFailed = report.lines.find("  -- Page 0 failed\r\n") != std::string::npos;
    report.lines.copy(outcome.lines, sizeof outcome.lines - 1);
    return outcome;
}

#ifdef _WIN32
// Runs only as the child of HostileHeaders: the input, the mode, the output
// base and the file for the outcome come in the environment.
TEST(HostileHeadersChild, DISABLED_ConvertsAndMeasures) {
    const ChildOutcome outcome =
        convertMeasured(std::getenv("PAGESMITH_TEST_INPUT"),
                        CompressionMode(std::atoi(std::getenv("PAGESMITH_TEST_MODE"))),
                        std::getenv("PAGESMITH_TEST_OUTPUT"));
    std::ofstream(platform::pathFromUtf8(std::getenv("PAGESMITH_TEST_OUTCOME")), std::ios::binary)
        .write(reinterpret_cast<const char*>(&outcome), sizeof outcome);
}
#endif

class HostileHeaders : public ::testing::TestWithParam<HostileCase> {
protected:
    // Converts in a child process, so its peak memory is the conversion's own.
    ChildOutcome convertInChild(const std::string& input) {
        ChildOutcome outcome;
#ifdef _WIN32
        const std::string outcomeFile = dir.file("outcome");
        EXPECT_EQ(
            test::runTestInChild("HostileHeadersChild.DISABLED_ConvertsAndMeasures",
                                 {{"PAGESMITH_TEST_INPUT", input},
                                  {"PAGESMITH_TEST_MODE", std::to_string(int(GetParam().mode))},
                                  {"PAGESMITH_TEST_OUTPUT", dir.file("out")},
                                  { "PAGESMITH_TEST_OUTCOME",
                                    outcomeFile }}),
            0);
        std::ifstream(platform::pathFromUtf8(outcomeFile), std::ios::binary)
            .read(reinterpret_cast<char*>(&outcome), sizeof outcome);
#else
        int channel[2];
        EXPECT_EQ(pipe(channel), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            outcome = convertMeasured(input, GetParam().mode, dir.file("out"));
            const ssize_t written = write(channel[1], &outcome, sizeof outcome);
            _exit(written == ssize_t(sizeof outcome) ? 0 : 1);
        }
        close(channel[1]);
        EXPECT_EQ(read(channel[0], &outcome, sizeof outcome), ssize_t(sizeof outcome));
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
        return outcome;
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
    EXPECT_EQ(outcome.result, kConvertNoPageWritten);
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
