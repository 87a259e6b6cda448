#include "engine/run/ConvertFiles.h"
#include "support/CapturedStandardError.h"
#include "support/NamedPipe.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

using test::readPage;
using test::TempDir;
using test::TestPage;

TestPage faxPage(std::uint32_t width = 64, std::uint32_t length = 40) {
    return test::faxPage(width, length);
}

TestPage numberedPage(std::uint16_t number, std::uint16_t total) {
    TestPage page = faxPage();
    page.extraTags = [=](TIFF* tif) { TIFFSetField(tif, TIFFTAG_PAGENUMBER, number, total); };
    return page;
}

class ConvertFiles : public ::testing::Test {
protected:
    void SetUp() override {
        options.keepName = 1;
        options.compressionMode = CompressionMode::Lzw;
        options.tempFile = dir.file("scratch.tbw");
    }
    ConvertResult convert(const std::vector<std::string>& inputs, const std::string& base) {
        return convertFiles(int(inputs.size()), inputs, base, options, report);
    }
    const std::string& lines() const { return report.lines; }

    TempDir dir;
    ConversionOptions options;
    test::ReportRecorder report;
};

TEST_F(ConvertFiles, ReportsEveryPageOfOneInput) {
    const std::string in = dir.file("fax.tif");
    test::writeTiff(in, {faxPage(), faxPage(), faxPage()});
    const std::string out = dir.file("fax-lzw");

    EXPECT_EQ(convert({in}, out), ConvertResult::Done);
    EXPECT_EQ(lines(), "Convert: " + in + " -> " + out +
                           ".tif\r\n"
                           "  -- Page 0 success\r\n  -- Page 1 success\r\n  -- Page 2 success\r\n");
    ASSERT_EQ(test::countPages(out + ".tif"), 3);
    for (int page = 0; page < 3; ++page) {
        EXPECT_EQ(readPage(out + ".tif", page).compression, COMPRESSION_LZW);
        EXPECT_EQ(readPage(out + ".tif", page).pixels, readPage(in, page).pixels);
    }
}

// A run depends on its arguments alone: a short run and a full one in the
// same process each report as their own options say.
TEST_F(ConvertFiles, ShortLogLeavesOutThePageLinesOfItsOwnRunOnly) {
    const std::string in = dir.file("fax.tif");
    test::writeTiff(in, {faxPage(), faxPage()});
    ConversionOptions shortOptions = options;
    shortOptions.shortLog = 1;
    test::ReportRecorder shortReport;
    convertFiles(1, {in}, dir.file("short"), shortOptions, shortReport);
    convertFiles(1, {in}, dir.file("full"), options, report);
    EXPECT_EQ(shortReport.lines, "Convert: " + in + " -> " + dir.file("short") + ".tif\r\n");
    EXPECT_EQ(lines(), "Convert: " + in + " -> " + dir.file("full") +
                           ".tif\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n");
}

TEST_F(ConvertFiles, MergesInputsInOrderWithALinePerInput) {
    const std::string a = dir.file("a.tif"), b = dir.file("b.tif");
    test::writeTiff(a, {faxPage(64, 10), faxPage(64, 20)});
    test::writeTiff(b, faxPage(64, 30));
    const std::string out = dir.file("all");

    EXPECT_EQ(convert({a, b}, out), ConvertResult::Done);
    EXPECT_EQ(lines(), "Merge:   " + a + " -> " + out +
                           ".tif\r\n"
                           "  -- Page 0 success\r\n  -- Page 1 success\r\n"
                           "Merge:   " +
                           b + " -> " + out +
                           ".tif\r\n"
                           "  -- Page 0 success\r\n");
    ASSERT_EQ(test::countPages(out + ".tif"), 3);
    EXPECT_EQ(readPage(out + ".tif", 0).length, 10u);
    EXPECT_EQ(readPage(out + ".tif", 1).length, 20u);
    EXPECT_EQ(readPage(out + ".tif", 2).pixels, readPage(b).pixels);
}

TEST_F(ConvertFiles, GivesEachMergeInputThatCannotBeOpenedALine) {
    const std::string a = dir.file("a.tif"), text = dir.file("notes.tif");
    test::writeTiff(a, faxPage());
    test::writeTextFile(text, "not a tiff");
    convert({text, a, dir.file("missing.tif")}, dir.file("all"));
    EXPECT_EQ(lines(), "  -- Failed: cannot open " + text + "\r\nMerge:   " + a + " -> " +
                           dir.file("all") + ".tif\r\n  -- Page 0 success\r\n" +
                           "  -- Failed: cannot open " + dir.file("missing.tif") + "\r\n");
    EXPECT_EQ(report.failures, 2);
    EXPECT_EQ(test::countPages(dir.file("all.tif")), 1);
}

TEST_F(ConvertFiles, NamesTheOutputWithTheModeSuffixUnlessKeepingTheName) {
    const std::string in = dir.file("scan.tif");
    test::writeTiff(in, faxPage());
    options.keepName = 0;
    options.compressionMode = CompressionMode::Group4;
    convert({in}, dir.file("scan"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("scang4.tif")));
    options.compressionMode = CompressionMode::Group3TwoDim;
    convert({in}, dir.file("scan"));
    EXPECT_TRUE(std::filesystem::exists(dir.file("scang32.tif")));
    EXPECT_EQ(readPage(dir.file("scang32.tif")).compression, COMPRESSION_CCITTFAX3);
}

TEST_F(ConvertFiles, AFailedPageStaysOutOfTheFileAndTheRunGoesOn) {
    const std::string in = dir.file("mixed.tif");
    test::writeTiff(in, {faxPage(), test::maskPage(), faxPage(80)});
    options.compressionMode = CompressionMode::Group3OneDimFill; // a mask cannot be made grey
    const std::string out = dir.file("out");

    EXPECT_EQ(convert({in, in}, out), ConvertResult::Done);
    const std::string oneInput = "Merge:   " + in + " -> " + out +
                                 ".tif\r\n  -- Page 0 success\r\n"
                                 "  -- Failed to convert as you're trying to convert grayscale or "
                                 "color tiff to B&W tiff\r\n" +
                                 test::kMaskRefusal +
                                 "  -- Page 1 failed\r\n  -- Page 2 success\r\n";
    EXPECT_EQ(lines(), oneInput + oneInput);
    EXPECT_EQ(report.failures, 2);
    // The pages that made it, in order: no half-written page among them.
    ASSERT_EQ(test::countPages(out + ".tif"), 4);
    for (int page = 0; page < 4; ++page)
        EXPECT_EQ(readPage(out + ".tif", page).pixels, readPage(in, page % 2 * 2).pixels) << page;
}

// The JPEG codec takes 8-bit samples only: one-bit pages go to it as grey.
TEST_F(ConvertFiles, AOneBitPageGoesToJpegAsEightBitGrey) {
    const std::string in = dir.file("fax.tif");
    TestPage page = faxPage(64, 16);
    // Black (set bits, min-is-white) on the left half, white on the right:
    // whole JPEG blocks of one shade each.
    page.pixels.assign(page.rasterBytes(), 0);
    for (std::uint32_t y = 0; y < page.length; ++y)
        for (int b = 0; b < 4; ++b)
            page.pixels[y * 8 + b] = 0xFF;
    // As fax programs store a page: one strip without end, which JPEG strips
    // of whole blocks cannot copy.
    page.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 0xFFFFFFFFu); };
    test::writeTiff(in, {page, page});
    options.compressionMode = CompressionMode::Jpeg;
    EXPECT_EQ(convert({in}, dir.file("out")), ConvertResult::Done);
    EXPECT_EQ(lines(), "Convert: " + in + " -> " + dir.file("out") +
                           ".tif\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n");
    ASSERT_EQ(test::countPages(dir.file("out.tif")), 2);
    const test::DecodedPage grey = readPage(dir.file("out.tif"), 1);
    EXPECT_EQ(grey.compression, COMPRESSION_JPEG);
    EXPECT_EQ(grey.bitsPerSample, 8);
    EXPECT_EQ(grey.samplesPerPixel, 1);
    EXPECT_EQ(grey.photometric, PHOTOMETRIC_MINISBLACK);
    ASSERT_EQ(grey.pixels.size(), 64u * 16u);
    for (std::uint32_t y = 0; y < 16; ++y) {
        EXPECT_LE(grey.pixels[y * 64 + 5], 2) << "row " << y;
        EXPECT_GE(grey.pixels[y * 64 + 50], 253) << "row " << y;
    }
}

TEST_F(ConvertFiles, AnOutputThatCannotBeCreatedSaysSo) {
    const std::string in = dir.file("fax.tif");
    test::writeTiff(in, faxPage());
    EXPECT_EQ(convert({in}, dir.file("missing/out")), ConvertResult::OutputUnusable);
    EXPECT_EQ(lines(), "  -- Failed: cannot create " + dir.file("missing/out.tif") + "\r\n");
    EXPECT_EQ(report.failures, 1);
}

// A name near the file system's limit has no room for the temporary suffix:
// its temporary file takes a short name in the same folder.
TEST_F(ConvertFiles, WritesAnOutputWhoseNameLeavesNoRoomForTheTemporarySuffix) {
    const std::string in = dir.file("fax.tif");
    test::writeTiff(in, faxPage());
    const std::string out = dir.file(std::string(240, 'n'));
    EXPECT_EQ(convert({in}, out), ConvertResult::Done);
    EXPECT_EQ(test::countPages(out + ".tif"), 1);
}

TEST_F(ConvertFiles, WithoutInputsLeavesNoFile) {
    EXPECT_EQ(convert({}, dir.file("none")), ConvertResult::NoPageWritten);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_EQ(lines(), "  -- Failed: no page written to " + dir.file("none.tif") + "\r\n");
}

TEST_F(ConvertFiles, RefusesToWriteOverAnInput) {
    const std::string in = dir.file("scan.tif");
    test::writeTiff(in, {faxPage(), faxPage()});
    const std::string before = test::readTextFile(in);
    EXPECT_EQ(convert({dir.file("other.tif"), in}, dir.file("scan")),
              ConvertResult::OutputUnusable);
    EXPECT_EQ(lines(), "  -- Failed: output is the same file as the input " + in + "\r\n");
    EXPECT_EQ(test::readTextFile(in), before);

    // A page list on the input names the same file.
    report.lines.clear();
    EXPECT_EQ(convert({in + ",1"}, dir.file("scan")), ConvertResult::OutputUnusable);
    EXPECT_EQ(test::readTextFile(in), before);
}

TEST_F(ConvertFiles, AppendsPagesToAnExistingFile) {
    const std::string in = dir.file("fax.tif");
    test::writeTiff(in, faxPage());
    convert({in}, dir.file("book"));
    options.append = 1;
    convert({in}, dir.file("book"));
    convert({in}, dir.file("book"));
    EXPECT_EQ(test::countPages(dir.file("book.tif")), 3);
}

TEST_F(ConvertFiles, MergedPagesAreNumberedInTheirNewOrder) {
    std::vector<std::string> inputs;
    for (const char* name : {"a.tif", "b.tif", "c.tif"}) {
        inputs.push_back(dir.file(name));
        test::writeTiff(inputs.back(), numberedPage(0, 1));
    }
    test::writeTiff(dir.file("plain.tif"), faxPage());
    inputs.insert(inputs.begin() + 1, dir.file("plain.tif")); // no PageNumber: no number used
    convert(inputs, dir.file("all"));
    ASSERT_EQ(test::countPages(dir.file("all.tif")), 4);
    const std::vector<std::pair<int, std::uint16_t>> expected = {{0, 0}, {2, 1}, {3, 2}};
    for (const auto& [page, number] : expected) {
        const auto file = test::openPage(dir.file("all.tif"), page);
        std::uint16_t n = 99, total = 99;
        ASSERT_TRUE(TIFFGetField(file.get(), TIFFTAG_PAGENUMBER, &n, &total));
        EXPECT_EQ(n, number);
        EXPECT_EQ(total, 0);
    }
    std::uint16_t n = 0, total = 0;
    EXPECT_FALSE(
        TIFFGetField(test::openPage(dir.file("all.tif"), 1).get(), TIFFTAG_PAGENUMBER, &n, &total));
}

TEST_F(ConvertFiles, OneInputKeepsItsPageNumbers) {
    const std::string in = dir.file("a.tif");
    test::writeTiff(in, {numberedPage(4, 9), numberedPage(5, 9)});
    convert({in}, dir.file("out"));
    std::uint16_t n = 0, total = 0;
    ASSERT_TRUE(
        TIFFGetField(test::openPage(dir.file("out.tif"), 1).get(), TIFFTAG_PAGENUMBER, &n, &total));
    EXPECT_EQ(n, 5);
    EXPECT_EQ(total, 9);
}

// A file whose pages have lengths 10, 11, 12, ... tells which page went where.
class PageLists : public ConvertFiles {
protected:
    void SetUp() override {
        ConvertFiles::SetUp();
        std::vector<TestPage> pages;
        for (std::uint32_t i = 0; i < 4; ++i)
            pages.push_back(faxPage(32, 10 + i));
        test::writeTiff(in, pages);
    }
    std::vector<std::uint32_t> outputLengths() {
        std::vector<std::uint32_t> lengths;
        for (int page = 0; page < test::countPages(dir.file("out.tif")); ++page)
            lengths.push_back(readPage(dir.file("out.tif"), page).length);
        return lengths;
    }
    const std::string in = dir.file("a.tif");
};

TEST_F(PageLists, ChooseAndOrderThePages) {
    const std::vector<std::pair<std::string, std::vector<std::uint32_t>>> cases = {
        {",2,0", {12, 10}},   {",1,", {11, 12, 13}}, {",0x3", {13}},
        {",01,02", {11, 12}}, {",,2", {10, 12}},     {",", {10, 11, 12, 13}},
    };
    for (const auto& [list, lengths] : cases) {
        convert({in + list}, dir.file("out"));
        EXPECT_EQ(outputLengths(), lengths) << list;
    }
}

// What a page list gets wrong is a line of the report, and counts as a
// failure; nothing goes to standard error, where a window never shows it
// and lines of files converted side by side would come out mixed.
TEST_F(PageLists, AMissingListedPageEndsTheInputWithALine) {
    test::CapturedStandardError standardError;
    convert({in + ",9"}, dir.file("out"));
    EXPECT_EQ(lines(), "  -- " + in + ",9 not found!\r\n  -- Failed: cannot open " + in +
                           ",9\r\n  -- Failed: no page written to " + dir.file("out.tif") + "\r\n");
    report.lines.clear();
    report.failures = 0;
    convert({in + ",1,9,2"}, dir.file("out"));
    EXPECT_EQ(outputLengths(), std::vector<std::uint32_t>{11});
    EXPECT_TRUE(lines().ends_with("  -- Page 0 success\r\n  -- " + in + ",9 not found!\r\n"))
        << lines();
    EXPECT_EQ(report.failures, 1);

    // A page number past 32 bits reads the same where long has 32 bits.
    report.lines.clear();
    convert({in + ",4294967298"}, dir.file("out"));
    EXPECT_TRUE(lines().starts_with("  -- " + in + ",4294967298 not found!\r\n")) << lines();
    EXPECT_EQ(standardError.text(), "");
}

TEST_F(PageLists, AMalformedListSkipsOnlyThatInput) {
    test::CapturedStandardError standardError;
    const std::string other = dir.file("b.tif");
    test::writeTiff(other, faxPage(32, 50));
    convert({in + ",1x", in + ",08", other}, dir.file("out"));
    EXPECT_EQ(outputLengths(), std::vector<std::uint32_t>{50});
    EXPECT_NE(lines().find("  -- Expected a , separated image # list after " + in +
                           "\r\n"
                           "  -- Failed: cannot open " +
                           in + ",1x\r\n"),
              std::string::npos)
        << lines();
    EXPECT_EQ(standardError.text(), "");
}

TEST_F(PageLists, AFileWhoseNameHoldsACommaIsConvertedWhole) {
    const std::string comma = dir.file("scan,v2.tif");
    test::writeTiff(comma, {faxPage(32, 20), faxPage(32, 21)});
    convert({comma}, dir.file("out"));
    EXPECT_EQ(outputLengths(), (std::vector<std::uint32_t>{20, 21}));
    EXPECT_EQ(lines().substr(0, 9 + comma.size()), "Convert: " + comma);
}

TEST_F(ConvertFiles, SkipsAPipeNamedAsInputInsteadOfWaitingOnIt) {
    const test::NamedPipe pipe(dir, "pipe.tif");
    ASSERT_FALSE(pipe.path().empty());
    const std::string in = dir.file("fax.tif");
    test::writeTiff(in, faxPage());
    EXPECT_EQ(convert({pipe.path(), in}, dir.file("out")), ConvertResult::Done);
    EXPECT_EQ(test::countPages(dir.file("out.tif")), 1);
}

} // namespace
} // namespace pagesmith
