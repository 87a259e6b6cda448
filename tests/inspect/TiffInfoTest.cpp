#include "inspect/TiffInfo.h"

#include "support/NamedPipe.h"
#include "support/Recorders.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace pagesmith {
namespace {

using test::faxPage;
using test::TempDir;
using test::TestPage;

TestPage greyPage(std::uint16_t compression) {
    TestPage page;
    page.width = 40;
    page.length = 30;
    page.compression = compression;
    return page;
}

class TiffInfoReport : public ::testing::Test {
protected:
    const std::string& messages() const { return report.lines; }

    TempDir dir;
    test::ReportRecorder report;
};

TEST_F(TiffInfoReport, DescribesAThreePageGroup4FaxInFourLinesEndingInCrLf) {
    const std::string path = dir.file("fax.tif");
    const TestPage page = faxPage(1728, 2200, COMPRESSION_CCITTFAX4);
    test::writeTiff(path, {page, page, page});

    EXPECT_EQ(writeTiffInfo(path, report), 0);
    EXPECT_EQ(messages(), "Tiff Name:   " + path +
                              "\r\n"
                              "Total pages: 3\r\n"
                              "Image Size:  1728 x 2200\r\n"
                              "Compression: 4 = Group 4 Fax\r\n");
}

TEST_F(TiffInfoReport, DescribesTheFirstPageOnlyWhenPagesDiffer) {
    const std::string path = dir.file("mixed.tif");
    TestPage second = greyPage(COMPRESSION_PACKBITS);
    second.width = 99;
    test::writeTiff(path,
                    {greyPage(COMPRESSION_LZW), second, faxPage(64, 8, COMPRESSION_CCITTFAX4)});

    EXPECT_EQ(writeTiffInfo(path, report), 0);
    EXPECT_EQ(messages(), "Tiff Name:   " + path +
                              "\r\n"
                              "Total pages: 3\r\n"
                              "Image Size:  40 x 30\r\n"
                              "Compression: 5 = LZW\r\n");
}

// Past 65535 pages the report and the page count still agree.
TEST_F(TiffInfoReport, CountsPagesBeyondSixteenBits) {
    const std::string path = dir.file("long.tif");
    TestPage tiny = faxPage(8, 1, COMPRESSION_NONE);
    test::writeTiff(path, std::vector<TestPage>(65537, tiny));

    EXPECT_EQ(countTiffPages(path), 65537);
    EXPECT_EQ(writeTiffInfo(path, report), 0);
    EXPECT_NE(messages().find("Total pages: 65537\r\n"), std::string::npos) << messages();
}

TEST_F(TiffInfoReport, NamesTheFirstPageCompressionFromTheTable) {
    test::writeTiff(dir.file("p.tif"), greyPage(COMPRESSION_PACKBITS));
    test::writeTiff(dir.file("n.tif"), greyPage(COMPRESSION_NONE));
    test::writeTiff(dir.file("bare.tif"), greyPage(COMPRESSION_NONE));
    test::renumberFirstPageTag(dir.file("bare.tif"), TIFFTAG_COMPRESSION, 65000);
    test::writeTiff(dir.file("odd.tif"), greyPage(COMPRESSION_NONE));
    test::setFirstPageTagValue(dir.file("odd.tif"), TIFFTAG_COMPRESSION, 12345);

    const std::pair<const char*, const char*> cases[] = {
        {"p.tif", "Compression: 32773 = Macintosh PackBits algorithm\r\n"},
        {"n.tif", "Compression: 1 = Uncompressed\r\n"},
        {"bare.tif", "Compression: 1 = Uncompressed\r\n"},
        {"odd.tif", "Compression: Unknown\r\n"},
    };
    for (const auto& [name, line] : cases) {
        report.lines.clear();
        EXPECT_EQ(writeTiffInfo(dir.file(name), report), 0) << name;
        EXPECT_TRUE(messages().ends_with(line)) << messages();
    }
}

TEST_F(TiffInfoReport, WritesOnlyTheErrorLineForWhatIsNotATiffFile) {
    const std::string text = dir.file("x.tif");
    test::writeTextFile(text, "just some words, not an image\n");
    const std::string missing = dir.file("missing.tif");
    const std::string folder = dir.str();
    // A pipe must be refused without waiting for a writer.
    const test::NamedPipe pipe(dir, "pipe.tif");
    ASSERT_FALSE(pipe.path().empty());
    std::vector<std::string> paths{text, missing, folder, pipe.path()};
    // A kernel file that waits for messages when read, where this user may read it.
    if (std::FILE* kernelMessages = std::fopen("/proc/kmsg", "r")) {
        std::fclose(kernelMessages);
        paths.push_back("/proc/kmsg");
    }

    for (const std::string& path : paths) {
        report.lines.clear();
        EXPECT_EQ(writeTiffInfo(path, report), -1) << path;
        EXPECT_EQ(messages(), "Error tiff file : " + path + "\r\n");
        EXPECT_EQ(countTiffPages(path), -1) << path;
    }
}

TEST(ReadTiffInfo, SummarisesTheFirstPageAndCountsEveryPage) {
    TempDir dir;
    const std::string path = dir.file("g3.tif");
    TestPage first = faxPage(200, 120, COMPRESSION_CCITTFAX3);
    first.group3Options = GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS;
    test::writeTiff(path, {first, greyPage(COMPRESSION_LZW)});

    TiffFileInfo info;
    info.width = 7; // cleared, not kept
    ASSERT_EQ(readTiffInfo(path, &info), 0);
    EXPECT_EQ(info.width, 200u);
    EXPECT_EQ(info.length, 120u);
    EXPECT_EQ(info.pageCount, 2);
    EXPECT_EQ(info.compression, COMPRESSION_CCITTFAX3);
    EXPECT_EQ(info.group3Options, 5u);
}

TEST(ReadTiffInfo, SetsEveryGroup3OptionBitWhenTheTagIsAbsentOrDoesNotApply) {
    TempDir dir;
    // libtiff writes no Group3Options unless told.
    const std::string noOptions = dir.file("g3.tif");
    test::writeTiff(noOptions, faxPage(64, 10, COMPRESSION_CCITTFAX3));
    const std::string lzw = dir.file("lzw.tif");
    test::writeTiff(lzw, greyPage(COMPRESSION_LZW));
    // A Group 3 page relabelled uncompressed keeps a Group3Options entry that
    // libtiff then knows only as an unregistered tag.
    const std::string stray = dir.file("stray.tif");
    TestPage page = faxPage(64, 10, COMPRESSION_CCITTFAX3);
    page.group3Options = 0;
    test::writeTiff(stray, page);
    test::setFirstPageTagValue(stray, TIFFTAG_COMPRESSION, COMPRESSION_NONE);

    for (const std::string& path : {noOptions, lzw, stray}) {
        TiffFileInfo info;
        ASSERT_EQ(readTiffInfo(path, &info), 0) << path;
        EXPECT_EQ(info.group3Options, 0xFFFFFFFFu) << path;
    }
}

TEST(ReadTiffInfo, AnswersMinusOneForNoTiffAndMinusTwoForNoRecord) {
    TempDir dir;
    const std::string path = dir.file("a.tif");
    test::writeTiff(path, greyPage(COMPRESSION_NONE));
    TiffFileInfo info;

    EXPECT_EQ(readTiffInfo(path, nullptr), -2);
    EXPECT_EQ(readTiffInfo(dir.file("absent.tif"), &info), -1);
    EXPECT_EQ(readTiffInfo(dir.file("absent.tif"), nullptr), -1);
}

TEST(ReadTiffInfo, ReadsBigTiffFilesLikeClassicOnes) {
    TempDir dir;
    const std::string path = dir.file("big.tif");
    {
        TiffHandle file(path, "w8");
        ASSERT_TRUE(file);
        for (int page = 0; page < 2; ++page) {
            TIFF* tiff = file.get();
            TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 24u);
            TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 4u);
            TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
            TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
            std::uint8_t row[24] = {};
            for (std::uint32_t y = 0; y < 4; ++y)
                ASSERT_EQ(TIFFWriteScanline(tiff, row, y, 0), 1);
            ASSERT_TRUE(TIFFWriteDirectory(tiff));
        }
    }

    EXPECT_EQ(countTiffPages(path), 2);
    TiffFileInfo info;
    ASSERT_EQ(readTiffInfo(path, &info), 0);
    EXPECT_EQ(info.width, 24u);
    EXPECT_EQ(info.compression, COMPRESSION_PACKBITS);
}

TEST(CountTiffPages, ClosesWhatItOpensWhetherOrNotItIsATiffFile) {
    TempDir dir;
    const std::string tiff = dir.file("a.tif");
    const std::string text = dir.file("b.tif");
    test::writeTiff(tiff, greyPage(COMPRESSION_LZW));
    test::writeTextFile(text, std::string("II*\0 looks like a header, is not one", 36));
    TiffFileInfo info;

    const std::size_t before = test::openHandleCount();
    for (int i = 0; i < 50; ++i) {
        countTiffPages(tiff);
        countTiffPages(text);
        readTiffInfo(tiff, &info);
        readTiffInfo(text, &info);
        readTiffInfo(tiff, nullptr);
    }
    EXPECT_EQ(test::openHandleCount(), before);
}

TEST(SharedTestData, EveryFileIsCountedAndDescribed) {
    const std::filesystem::path folder = test::sharedTestData();
    if (folder.empty())
        GTEST_SKIP() << "no shared test data in this checkout";
    int described = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string path = entry.path().string();
        if (entry.path().extension() == ".md")
            continue;
        test::ReportRecorder recorder;
        EXPECT_GE(countTiffPages(path), 1) << path;
        EXPECT_EQ(writeTiffInfo(path, recorder), 0) << path;
        const std::string& report = recorder.lines;
        EXPECT_EQ(report.rfind("Tiff Name:   " + path + "\r\n", 0), 0u) << report;
        EXPECT_EQ(report.find("Compression: Unknown"), std::string::npos) << report;
        ++described;
    }
    EXPECT_GT(described, 0);

    const std::filesystem::path multipage = folder / "multipage.tif";
    if (std::filesystem::exists(multipage)) {
        EXPECT_EQ(countTiffPages(multipage.string()), 3);
    }
    const std::filesystem::path group4 = folder / "G4.TIF";
    TiffFileInfo info;
    if (std::filesystem::exists(group4)) {
        ASSERT_EQ(readTiffInfo(group4.string(), &info), 0);
        EXPECT_EQ(info.compression, COMPRESSION_CCITTFAX4);
    }
}

} // namespace
} // namespace pagesmith
