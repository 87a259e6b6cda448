#include "cli/ProgramRunner.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;

const std::string kSeparator = "--------------------------------------------------\n";

TestPage faxPage(std::uint32_t length = 30) {
    return test::faxPage(64, length);
}

TestPage colourPage() {
    return test::rgbPage(50, 20);
}

// Each case runs the program once over a folder "in" and compares its run-log
// entry with the expected report, time stamp masked.
class BatchRuns : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directory(inFolder); }

    // Runs with "/q" and a log of its own; returns the masked log.
    std::string run(std::vector<std::string> arguments) {
        arguments.push_back("/q");
        arguments.push_back("/log=" + logPath);
        std::filesystem::remove(logPath);
        const auto result = test::runProgram(program, arguments, home.path());
        EXPECT_EQ(result.exitCode, 0);
        EXPECT_EQ(result.standardOutput, "Please Wait...\n");
        header = "\nCMD : " + program.string();
        for (const std::string& argument : arguments)
            header += " " + argument;
        header += "\n";
        return test::maskTimeStamps(test::readTextFile(logPath));
    }
    std::string in(const std::string& name) const { return (inFolder / name).string(); }
    std::string out(const std::string& name) const { return (outFolder / name).string(); }

    TempDir home;
    std::filesystem::path program = test::builtProgram();
    std::filesystem::path inFolder = home.path() / "in";
    std::filesystem::path outFolder = home.path() / "out";
    std::string logPath = home.file("run.log");
    std::string header;
};

TEST_F(BatchRuns, ConvertsAFolderWithSuffixesOrKeptNames) {
    test::writeTiff(in("fax.tif"), {faxPage(), faxPage(31)});
    const std::string log =
        run({"/d=" + inFolder.string(), "/sd=" + outFolder.string(), "/sc=lzw"});
    EXPECT_EQ(log, "<time>" + header + "FUC: Convert tiff files: folder " + inFolder.string() +
                       " --> " + outFolder.string() + "\nStart converting ...\n" +
                       "Convert: " + in("fax.tif") + " -> " + out("faxlzw.tif") + "\r\n" +
                       "  -- Page 0 success\r\n  -- Page 1 success\r\n" +
                       " (1) tiff file(s) converted\n" + kSeparator);
    for (int page = 0; page < 2; ++page)
        EXPECT_EQ(test::readPage(out("faxlzw.tif"), page).pixels,
                  test::readPage(in("fax.tif"), page).pixels);

    run({"/d=" + inFolder.string(), "/sd=" + outFolder.string(), "/sc=lzw", "/k"});
    EXPECT_EQ(test::countPages(out("fax.tif")), 2);
}

TEST_F(BatchRuns, DefaultModeIsGroupThreeWithByteAlignedLines) {
    test::writeTiff(in("fax.tif"), faxPage());
    run({"/d=" + inFolder.string(), "/sd=" + outFolder.string()});
    const auto page = test::openPage(out("faxg31.tif"));
    std::uint32_t options = 0;
    ASSERT_TRUE(TIFFGetField(page.get(), TIFFTAG_GROUP3OPTIONS, &options));
    EXPECT_EQ(options, 4u);
    EXPECT_EQ(test::readPage(out("faxg31.tif")).pixels, test::readPage(in("fax.tif")).pixels);
}

TEST_F(BatchRuns, ListsPageCountsOfTheFilteredFiles) {
    test::writeTiff(in("fax.tif"), {faxPage(), faxPage(), faxPage()});
    test::writeTiff(in("colour.tif"), colourPage());
    test::writeTextFile(in("readme.tif"), "text");
    const std::string log = run({"/c=g4", "/d=" + inFolder.string(), "/np"});
    EXPECT_EQ(log, "<time>" + header + "FUC: Count tiff file pages in folder " + inFolder.string() +
                       "\n (3) page(s) in tiff-file: " + in("fax.tif") + "\n" + kSeparator);
}

TEST_F(BatchRuns, CountsTotalPagesOfAFolder) {
    test::writeTiff(in("fax.tif"), {faxPage(), faxPage(), faxPage()});
    test::writeTiff(in("colour.tif"), colourPage());
    const std::string log = run({"/d=" + inFolder.string(), "/tnp"});
    EXPECT_EQ(log, "<time>" + header + "FUC: Count total pages of all tiff files in folder\n" +
                       " (2) tiff file(s), (4) total page(s) in folder " + inFolder.string() +
                       "\n" + kSeparator);
    EXPECT_EQ(run({"/d=" + inFolder.string(), "/tnp", "/sl"}),
              "<time> (2) tiff file(s), (4) total page(s)\n");
}

TEST_F(BatchRuns, MergesNamedFilesIntoOneFile) {
    test::writeTiff(in("a.tif"), {faxPage(10), faxPage(11)});
    test::writeTiff(in("b.tif"), faxPage(12));
    const std::string log =
        run({"/d=" + inFolder.string(), "/m=a.tif,b.tif", "/sf=" + out("all.tif"), "/sc=g4"});
    EXPECT_EQ(log, "<time>" + header + "FUC: Merge tiff files: folder " + inFolder.string() +
                       " --> " + outFolder.string() + "\nStart merging ...\n" +
                       "Merge:   " + in("a.tif") + " -> " + out("all.tif") + "\r\n" +
                       "  -- Page 0 success\r\n  -- Page 1 success\r\n" +
                       "Merge:   " + in("b.tif") + " -> " + out("all.tif") + "\r\n" +
                       "  -- Page 0 success\r\n2 files merged\n" + kSeparator);
    ASSERT_EQ(test::countPages(out("all.tif")), 3);
    EXPECT_EQ(test::readPage(out("all.tif"), 2).pixels, test::readPage(in("b.tif")).pixels);
}

TEST_F(BatchRuns, MergesAtMostAThousandFilesOfAFolder) {
    const std::vector<TestPage> tiny = {faxPage(1)};
    for (int i = 0; i < 1001; ++i)
        test::writeTiff(in("f" + std::to_string(i).append(".tif")), tiny);
    const std::string log =
        run({"/m=x", "/d=" + inFolder.string(), "/sf=" + out("all.tif"), "/sc=g4", "/sl"});
    EXPECT_EQ(log, "<time>1000 files merged\n");
    EXPECT_EQ(test::countPages(out("all.tif")), 1000);
}

TEST_F(BatchRuns, ConvertsOneFileToANamedOutput) {
    test::writeTiff(in("one.tif"), faxPage());
    run({"/f=" + in("one.tif"), "/sf=" + out("two.tif"), "/sc=g4"});
    EXPECT_EQ(test::countPages(out("twog4.tif")), 1);
    run({"/f=" + in("one.tif"), "/sf=" + out("two.tif"), "/sc=g4", "/k"});
    EXPECT_EQ(test::countPages(out("two.tif")), 1);
}

TEST_F(BatchRuns, ColourPagesReachFaxAsDitheredPages) {
    test::writeTiff(in("colour.tif"), colourPage());
    const std::string log = run({"/d=" + inFolder.string(), "/sd=" + outFolder.string(), "/sc=g4"});
    // Dithered pages get no page line.
    EXPECT_EQ(log, "<time>" + header + "FUC: Convert tiff files: folder " + inFolder.string() +
                       " --> " + outFolder.string() + "\nStart converting ...\n" +
                       "Convert: " + in("colour.tif") + " -> " + out("colourg4.tif") + "\r\n" +
                       " (1) tiff file(s) converted\n" + kSeparator);
    const auto page = test::readPage(out("colourg4.tif"));
    EXPECT_EQ(page.bitsPerSample, 1);
    EXPECT_EQ(page.width, 50u);
    EXPECT_EQ(page.length, 19u);
}

TEST_F(BatchRuns, ShortLogKeepsOnlyTheSummary) {
    test::writeTiff(in("fax.tif"), faxPage());
    EXPECT_EQ(run({"/d=" + inFolder.string(), "/sd=" + outFolder.string(), "/sl"}),
              "<time> (1) tiff file(s) converted\n");
}

TEST_F(BatchRuns, ReportsFilesThatAreNotTiff) {
    test::writeTextFile(in("broken.tif"), "II*\0garbage");
    // The folder scan leaves such a file out...
    std::string log = run({"/d=" + inFolder.string(), "/np"});
    EXPECT_EQ(log, "<time>" + header + "FUC: Count tiff file pages in folder " + inFolder.string() +
                       "\n" + kSeparator);
    // ...but named on its own it gets a line.
    log = run({"/f=" + in("broken.tif"), "/np"});
    EXPECT_EQ(log, "<time>" + header + "FUC: Count tiff file pages in folder " + inFolder.string() +
                       "\nFailed to get tiff page(s) of " + in("broken.tif") +
                       " : NOT a tiff file or file not exist \r\n" + kSeparator);
}

TEST_F(BatchRuns, SaveFolderWithADotAndUpperCaseNames) {
    test::writeTiff(in("Scan.TIF"), faxPage());
    const auto target = home.path() / "out.old";
    run({"/f=" + in("Scan.TIF"), "/sf=" + (target / "Result").string(), "/sc=G4"});
    EXPECT_EQ(test::countPages(target / "Resultg4.tif"), 1);
}

} // namespace
} // namespace pagesmith
