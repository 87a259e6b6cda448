#include "engine/run/ConvertFiles.h"
#include "support/Recorders.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <functional>

namespace pagesmith {
namespace {

using test::TestPage;

// One input of a case: its pages, and what is done to the file afterwards.
struct DamagedInput {
    std::vector<TestPage> pages;
    std::function<void(const std::filesystem::path&)> damage = {};
};

// A conversion (one input) or merge (several) and the exact lines it writes,
// the pages its output holds (kNoOutput: no file) and the failures it counts.
// In the lines, {0}, {1}, ... stand for the inputs and {out} for the output.
struct PageLinesCase {
    const char* name;
    std::vector<DamagedInput> inputs;
    std::string lines;
    int outputPages;
    int failures;
    CompressionMode mode = CompressionMode::Lzw;
};

constexpr int kNoOutput = -1;

TestPage fax(std::uint32_t length = 40) {
    return test::faxPage(64, length);
}

// Grey rows in strips of 10: four strips.
TestPage greyInStrips() {
    TestPage page;
    page.width = 16;
    page.length = 40;
    page.compression = COMPRESSION_LZW;
    page.rowsPerStrip = 10;
    return page;
}

auto stripsWithoutBytes(int page, std::vector<std::size_t> strips) {
    return [=](const std::filesystem::path& path) {
        for (std::size_t strip : strips)
            test::setPageTagElement(path, page, TIFFTAG_STRIPBYTECOUNTS, strip, 0);
    };
}

std::string success(int page) {
    return "  -- Page " + std::to_string(page) + " success\r\n";
}

std::string failed(int page) {
    return "  -- Page " + std::to_string(page) + " failed\r\n";
}

std::vector<PageLinesCase> cases() {
    const std::string convert = "Convert: {0} -> {out}\r\n";
    return {
        {"AnUnreadableLastDirectoryIsAFailedPage",
         {{{fax(), fax(), fax()}, [](const auto& path) { test::clearPageEntryTypes(path, 2); }}},
         convert + success(0) + success(1) +
             "  -- Failed: the directory of page 2 cannot be read\r\n" + failed(2),
         2,
         1},
        {"AnUnreadableMiddleDirectoryIsFollowedByThePageAfterIt",
         {{{fax(), fax(), fax()}, [](const auto& path) { test::clearPageEntryTypes(path, 1); }}},
         convert + success(0) + "  -- Failed: the directory of page 1 cannot be read\r\n" +
             failed(1) + success(2),
         2,
         1},
        {"APageNoCodecReadsIsAFailedPage",
         {{{fax(), fax(), fax()},
           [](const auto& path) { test::setPageTagValue(path, 1, TIFFTAG_COMPRESSION, 65000); }}},
         convert + success(0) +
             "  -- Failed: page 1 is compressed with 65000, which cannot be read\r\n" + failed(1) +
             success(2),
         2,
         1},
        {"APageWithUnreadableRowsSaysHowMany",
         {{{greyInStrips()}, stripsWithoutBytes(0, {1})}},
         convert + "  -- Page 0 damaged: 10 of 40 rows could not be read, left blank\r\n",
         1,
         1},
        {"APageWithNoReadableRowIsNotWritten",
         {{{greyInStrips()}, stripsWithoutBytes(0, {0, 1, 2, 3})}},
         convert + "  -- Failed: none of the 40 rows of page 0 could be read\r\n" + failed(0) +
             "  -- Failed: no page written to {out}\r\n",
         kNoOutput,
         2},
        {"AnUnreadableMiddlePageLeavesThePagesAroundIt",
         {{{greyInStrips(), greyInStrips(), greyInStrips()}, stripsWithoutBytes(1, {0, 1, 2, 3})}},
         convert + success(0) + "  -- Failed: none of the 40 rows of page 1 could be read\r\n" +
             failed(1) + success(2),
         2,
         1},
        {"AGreyPageBoundForFaxStopsAtARowItCannotRead",
         {{{greyInStrips(), greyInStrips()}, stripsWithoutBytes(0, {2})}},
         convert + "  -- Failed: a row of page 0 could not be read\r\n" + failed(0) + success(1),
         1,
         1,
         CompressionMode::Group4},
        {"AChainCutShortIsReported",
         {{{fax(), fax()}, [](const auto& path) { test::setNextDirectory(path, 1, 0x7FFFFFF0); }}},
         convert + success(0) + success(1) +
             "  -- Failed: the pages after page 1 cannot be reached\r\n",
         2,
         1},
        {"AMergeGoesOnAfterAPageThatFailed",
         {{{fax()}},
          {{fax(), fax(), fax()},
           [](const auto& path) { test::setPageTagValue(path, 1, TIFFTAG_COMPRESSION, 65000); }},
          {{fax(), fax()}}},
         "Merge:   {0} -> {out}\r\n" + success(0) + "Merge:   {1} -> {out}\r\n" + success(0) +
             "  -- Failed: page 1 is compressed with 65000, which cannot be read\r\n" + failed(1) +
             success(2) + "Merge:   {2} -> {out}\r\n" + success(0) + success(1),
         5,
         1},
    };
}

void PrintTo(const PageLinesCase& run, std::ostream* out) {
    *out << run.name;
}

class PageLines : public ::testing::TestWithParam<PageLinesCase> {};

TEST_P(PageLines, GivesEveryPageOneLineAndKeepsThePagesThatWentThrough) {
    const PageLinesCase& run = GetParam();
    test::TempDir dir;
    std::vector<std::string> inputs;
    for (const DamagedInput& input : run.inputs) {
        inputs.push_back(dir.file("in" + std::to_string(inputs.size()) + ".tif"));
        test::writeTiff(inputs.back(), input.pages);
        if (input.damage)
            input.damage(inputs.back());
    }
    ConversionOptions options;
    options.compressionMode = run.mode;
    options.tempFile = dir.file("scratch.tbw");
    test::ReportRecorder report;
    convertFiles(int(inputs.size()), inputs, dir.file("out"), options, report);

    std::string expected = run.lines;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
        const std::string key = "{" + std::to_string(i) + "}";
        for (std::size_t at; (at = expected.find(key)) != std::string::npos;)
            expected.replace(at, key.size(), inputs[i]);
    }
    for (std::size_t at; (at = expected.find("{out}")) != std::string::npos;)
        expected.replace(at, 5, dir.file("out.tif"));
    EXPECT_EQ(report.lines, expected);
    EXPECT_EQ(report.failures, run.failures);
    EXPECT_EQ(test::countPages(dir.file("out.tif")), run.outputPages);
}

INSTANTIATE_TEST_SUITE_P(Table, PageLines, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<PageLinesCase>& info) {
                             return std::string(info.param.name);
                         });

// The rows of the strip that could not be read are blank; the others are
// the page's own.
TEST(PageLines, AStripThatCannotBeReadIsWrittenBlank) {
    test::TempDir dir;
    const TestPage page = greyInStrips();
    const std::string in = dir.file("in.tif");
    test::writeTiff(in, page);
    const std::vector<std::uint8_t> pixels = test::readPage(in).pixels;
    stripsWithoutBytes(0, {2})(in);
    ConversionOptions options;
    options.compressionMode = CompressionMode::PackBits;
    test::ReportRecorder report;
    convertFiles(1, {in}, dir.file("out"), options, report);

    std::vector<std::uint8_t> expected = pixels;
    std::fill(expected.begin() + 20 * 16, expected.begin() + 30 * 16, 0);
    EXPECT_EQ(test::readPage(dir.file("out.tif")).pixels, expected);
}

} // namespace
} // namespace pagesmith
