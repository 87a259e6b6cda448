#include "batch/BatchOperations.h"
#include "base/Paths.h"
#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "batch/ReportText.h"
#include "platform/PathRules.h"
#include "platform/Utf8Paths.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {

void PrintTo(const OutputPages& output, std::ostream* out) {
    *out << "{" << output.path << ", " << output.firstPage << ", {";
    for (int page : output.sourcePages)
        *out << page << " ";
    *out << "}}";
}

namespace {

using test::TempDir;
using test::TestPage;

TestPage faxPage(std::uint32_t length = 24) {
    return test::faxPage(40, length);
}

class RunBatch : public ::testing::Test {
protected:
    void SetUp() override {
        request.reset();
        request.sourceFolder = dir.file("in");
        request.saveFolder = dir.file("out");
        request.options.keepName = 0;
        request.options.tempFile = dir.file("scratch.tbw");
        std::filesystem::create_directories(dir.path() / "in" / "sub");
    }
    // A run; `report` is its text as the command line writes it, after
    // its own lead.
    BatchResult run(int merge) {
        request.merge = merge;
        const BatchResult result = runBatch(request, recorder);
        report = runLogEntry(result, "", startLine(result));
        return result;
    }
    std::map<std::size_t, FileStatus> statuses() const {
        std::map<std::size_t, FileStatus> marks;
        for (const FileOutcome& outcome : recorder.outcomes)
            marks[outcome.index] = outcome.status;
        return marks;
    }
    std::string in(const std::string& name) const { return dir.file("in/" + name); }
    std::string out(const std::string& name) const { return dir.file("out/" + name); }
    // A name listed as a folder scan lists it: with the system's separators.
    static std::string listed(const std::string& name) {
        return platform::utf8FromPath(platform::pathFromUtf8(name).make_preferred());
    }
    void add(const std::string& name, std::vector<TestPage> pages) {
        test::writeTiff(in(name), pages);
        request.addFile(listed(name));
    }
    void addText(const std::string& name) {
        test::writeTextFile(in(name), "not a tiff at all");
        request.addFile(listed(name));
    }

    TempDir dir;
    BatchRequest request;
    test::RunRecorder recorder;
    std::string report;
};

TEST_F(RunBatch, CountsThePagesOfEachFile) {
    add("a.tif", {faxPage(), faxPage(), faxPage()});
    addText("notes.tif");
    request.operation = BatchOperation::CountPagesEach;
    EXPECT_EQ(run(0).visited, 2);
    EXPECT_EQ(report, "FUC: Count tiff file pages in folder " + dir.file("in") + "\n" +
                          " (3) page(s) in tiff-file: " + in("a.tif") + "\n" +
                          "Failed to get tiff page(s) of " + in("notes.tif") +
                          " : NOT a tiff file or file not exist \r\n");
}

TEST_F(RunBatch, TotalCountsUnreadableFilesButNotTheirPages) {
    add("a.tif", {faxPage(), faxPage(), faxPage()});
    addText("notes.tif");
    request.operation = BatchOperation::CountTotalPages;
    EXPECT_EQ(run(0).visited, 2);
    EXPECT_EQ(report, "FUC: Count total pages of all tiff files in folder\n"
                      "Failed to get tiff page(s) of " +
                          in("notes.tif") +
                          " : NOT a tiff file or file not exist \r\n"
                          " (2) tiff file(s), (3) total page(s) in folder " +
                          dir.file("in") + "\n");

    request.options.shortLog = 1;
    run(0);
    EXPECT_EQ(report, "Failed to get tiff page(s) of " + in("notes.tif") +
                          " : NOT a tiff file or file not exist \r\n"
                          " (2) tiff file(s), (3) total page(s)\n");
}

TEST_F(RunBatch, ConvertsIntoTheSaveFolderMirroringSubFolders) {
    add("a.tif", {faxPage()});
    add("sub/b.tif", {faxPage(), faxPage()});
    request.fileSelected = {1, 1};
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Lzw;
    EXPECT_EQ(run(0).written, 2);

    EXPECT_EQ(test::countPages(out("alzw.tif")), 1);
    EXPECT_EQ(test::countPages(out("sub/blzw.tif")), 2);
    EXPECT_EQ(test::readPage(out("sub/blzw.tif"), 1).pixels,
              test::readPage(in("sub/b.tif"), 1).pixels);
    EXPECT_EQ(report, "FUC: Convert tiff files: folder " + dir.file("in") + " --> " +
                          dir.file("out") +
                          "\n"
                          "Start converting ...\n"
                          "Convert: " +
                          in("a.tif") + " -> " + out("alzw.tif") +
                          "\r\n  -- Page 0 success\r\n"
                          "Convert: " +
                          in("sub/b.tif") + " -> " + out("sub/blzw.tif") +
                          "\r\n"
                          "  -- Page 0 success\r\n  -- Page 1 success\r\n"
                          " (2) tiff file(s) converted\n");
    EXPECT_EQ(statuses(), (std::map<std::size_t, FileStatus>{{0, FileStatus::Converted},
                                                             {1, FileStatus::Converted}}));
}

TEST_F(RunBatch, ConvertingCountsAndSkipsUnselectedFiles) {
    add("a.tif", {faxPage(), faxPage()});
    add("b.tif", {faxPage()});
    addText("c.tif");
    request.fileSelected = {1, 0, 1};
    request.operation = BatchOperation::ConvertIntoFolderAndCount;
    request.options.compressionMode = CompressionMode::Group4;
    EXPECT_EQ(run(0).visited, 2);
    EXPECT_TRUE(std::filesystem::exists(out("ag4.tif")));
    EXPECT_FALSE(std::filesystem::exists(out("bg4.tif")));
    // Only the file written counts as converted; the text file says it failed.
    EXPECT_TRUE(report.ends_with(" (1) tiff file(s) converted, (2) total page(s)\n"
                                 " (1) tiff file(s) failed\n"))
        << report;
}

TEST_F(RunBatch, ADotInTheSaveFolderIsNoExtension) {
    add("scan", {faxPage()});
    request.saveFolder = dir.file("out.old");
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Group4;
    run(0);
    EXPECT_EQ(test::countPages(dir.file("out.old/scang4.tif")), 1);
}

TEST_F(RunBatch, ConvertingToOneNamedFileKeepsOnlyTheLastFile) {
    add("a.tif", {faxPage(10)});
    add("b.tif", {faxPage(20), faxPage(21)});
    request.operation = BatchOperation::ConvertToNamedFile;
    request.saveName = "one.tif";
    request.options.compressionMode = CompressionMode::Group4;
    EXPECT_EQ(run(0).visited, 2);
    ASSERT_EQ(test::countPages(out("oneg4.tif")), 2);
    EXPECT_EQ(test::readPage(out("oneg4.tif")).length, 20u);
    // No summary line for this operation; the replaced output is reported.
    EXPECT_TRUE(report.ends_with("  -- Page 1 success\r\n  -- Overwrote " + out("oneg4.tif") +
                                 ", written from " + in("a.tif") + " earlier in this run\r\n"))
        << report;

    // With the total count too, outputs are named after their sources.
    request.operation = BatchOperation::ConvertToNamedFileAndCount;
    run(0);
    EXPECT_TRUE(std::filesystem::exists(out("ag4.tif")));
    EXPECT_TRUE(std::filesystem::exists(out("bg4.tif")));
}

// Files made out of name order are listed, reported and merged in name
// order, each page where its file's name puts it.
TEST_F(RunBatch, AFolderMadeOutOfNameOrderIsReportedAndMergedInNameOrder) {
    const int order[] = {4, 2, 10, 5, 7, 9, 3, 8, 6, 1};
    for (int n : order) {
        TestPage page = faxPage(16);
        page.pixels = test::patternPixels(page, unsigned(n));
        test::writeTiff(in(formatText("page%02d.tif", n)), {page});
    }
    scanFolder(request, request.sourceFolder, 0, CompressionFilter::All);
    request.saveName = "all.tif";
    request.options.compressionMode = CompressionMode::Lzw;
    ASSERT_EQ(run(1).written, 10);
    std::size_t previous = 0;
    for (int n = 1; n <= 10; ++n) {
        SCOPED_TRACE(n);
        TestPage expected = faxPage(16);
        EXPECT_EQ(test::readPage(out("all.tif"), n - 1).pixels,
                  test::patternPixels(expected, unsigned(n)));
        const std::size_t line =
            report.find(formatText("Merge:   %s", in(formatText("page%02d.tif", n)).c_str()));
        ASSERT_NE(line, std::string::npos);
        EXPECT_GE(line, previous);
        previous = line;
    }
}

TEST_F(RunBatch, MergesTheSelectedFilesInListOrder) {
    add("b.tif", {faxPage(10), faxPage(11)});
    add("a.tif", {faxPage(12)});
    add("skipped.tif", {faxPage(13)});
    request.fileSelected = {1, 1, 0};
    request.saveName = "all.tif";
    request.options.compressionMode = CompressionMode::Group4;
    EXPECT_EQ(run(1).written, 2);

    ASSERT_EQ(test::countPages(out("all.tif")), 3); // no suffix for a merge
    EXPECT_EQ(test::readPage(out("all.tif"), 2).length, 12u);
    EXPECT_EQ(report, "FUC: Merge tiff files: folder " + dir.file("in") + " --> " +
                          dir.file("out") +
                          "\n"
                          "Start merging ...\n"
                          "Merge:   " +
                          in("b.tif") + " -> " + out("all.tif") +
                          "\r\n"
                          "  -- Page 0 success\r\n  -- Page 1 success\r\n"
                          "Merge:   " +
                          in("a.tif") + " -> " + out("all.tif") +
                          "\r\n  -- Page 0 success\r\n"
                          "2 files merged\n");
    EXPECT_EQ(statuses(), (std::map<std::size_t, FileStatus>{{0, FileStatus::Merged},
                                                             {1, FileStatus::Merged}}));
}

// Each file's outcome says where its pages went: the output, the page the
// first of them became, and which of its pages (a page that failed went
// nowhere). A merge puts each file's pages after those of the files before.
TEST_F(RunBatch, OutcomesTellWhichOutputPageEachPageBecame) {
    // Three inks have no colour to dither: the page fails, the next goes on.
    TestPage inks = test::rgbPage(8, 8, COMPRESSION_NONE);
    inks.photometric = PHOTOMETRIC_SEPARATED;
    add("a.tif", {faxPage(10), inks, faxPage(12)});
    add("b.tif", {faxPage(13), faxPage(14)});
    request.operation = BatchOperation::ConvertIntoFolder;
    request.saveName = "all";
    request.options.compressionMode = CompressionMode::Group4;
    request.options.keepName = 1;
    struct Expected {
        int merge;
        std::vector<OutputPages> outputs;
    };
    const Expected cases[] = {
        {0, {{out("a.tif"), 0, {0, 2}}, {out("b.tif"), 0, {0, 1}}}},
        {1, {{out("all.tif"), 0, {0, 2}}, {out("all.tif"), 2, {0, 1}}}},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.merge ? "merge" : "convert");
        recorder.outcomes.clear();
        const BatchResult result = run(expected.merge);
        ASSERT_EQ(result.files.size(), 2u);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(result.files[i].output, expected.outputs[i]) << i;
            EXPECT_EQ(recorder.outcomes.at(i).output, expected.outputs[i]) << i;
        }
        const OutputPages& a = result.files[0].output;
        EXPECT_EQ(a.outputPageOf(2), 1);
        EXPECT_EQ(a.outputPageOf(1), -1);
        EXPECT_EQ(result.files[1].output.outputPageOf(1), expected.merge ? 3 : 1);
        EXPECT_EQ(test::readPage(a.path, a.outputPageOf(2)).length, 12u);
    }
}

// Files that wrote nothing have no output to show.
TEST_F(RunBatch, AFileThatWroteNothingHasNoOutput) {
    add("mask.tif", {test::maskPage()});
    addText("notes.tif");
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Group4;
    for (int merge : {0, 1}) {
        request.saveName = "all";
        const BatchResult result = run(merge);
        for (const FileOutcome& file : result.files)
            EXPECT_TRUE(file.output.empty() && file.output.path.empty()) << file.path;
    }
}

TEST_F(RunBatch, AMergeTakesAtMostAThousandFiles) {
    const std::vector<TestPage> tiny = {faxPage(1)};
    for (int i = 0; i < 1001; ++i)
        add("f" + std::to_string(i).append(".tif"), tiny);
    request.saveName = "all";
    request.options.compressionMode = CompressionMode::Group4;
    request.options.shortLog = 1;
    const BatchResult result = run(1);
    EXPECT_EQ(result.written, 1000);
    EXPECT_EQ(report, "1000 files merged\n");
    EXPECT_EQ(test::countPages(out("all.tif")), 1000);
    EXPECT_EQ(statuses().size(), 1000u);
    EXPECT_EQ(statuses().count(1000), 0u);
    EXPECT_EQ(result.files.at(1000).status, FileStatus::NotBegun);
}

TEST_F(RunBatch, AMergeOfNothingMakesNoFileAndSaysSo) {
    request.saveName = "empty.tif";
    EXPECT_EQ(run(1).written, 0);
    EXPECT_TRUE(report.ends_with("Start merging ...\n  -- Failed: no page written to " +
                                 out("empty.tif") + "\r\n0 files merged\n"))
        << report;
    EXPECT_FALSE(std::filesystem::exists(out("empty.tif")));
}

TEST_F(RunBatch, RefusesOutputPathsTooLongForThePlatform) {
    add("a.tif", {faxPage()});
    add("b.tif", {faxPage()});
    request.operation = BatchOperation::ConvertIntoFolder;
    request.saveFolder = dir.file(std::string(platform::maxPathLength(), 'x'));
    EXPECT_EQ(run(0).visited, 2);
    EXPECT_NE(report.find("Failed to convert " + in("a.tif") + " : path too long\r\n"),
              std::string::npos);
    EXPECT_NE(report.find("Failed to convert " + in("b.tif") + " : path too long\r\n"),
              std::string::npos);
    EXPECT_TRUE(report.ends_with(" (0) tiff file(s) converted\n (2) tiff file(s) failed\n"));
}

TEST_F(RunBatch, WithNoFilesWritesOnlyTheHeaderAndAZeroSummary) {
    request.operation = BatchOperation::ConvertIntoFolder;
    EXPECT_EQ(run(0).visited, 0);
    EXPECT_EQ(report, "FUC: Convert tiff files: folder " + dir.file("in") + " --> " +
                          dir.file("out") +
                          "\nStart converting ...\n"
                          " (0) tiff file(s) converted\n");
}

TEST_F(RunBatch, ReportsEachFileAsItBeginsAndCountsWhatFailed) {
    add("a.tif", {test::rgbPage(8, 8)});
    addText("notes.tif");
    add("mask.tif", {test::maskPage()}); // no colours: JPEG refuses it
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Jpeg;
    BatchResult result = run(0);
    EXPECT_EQ(recorder.started,
              (std::vector<std::string>{"0/3 " + in("a.tif"), "1/3 " + in("notes.tif"),
                                        "2/3 " + in("mask.tif")}));
    // The text file; the mask page, and the output it leaves without a page.
    EXPECT_EQ(result.failures, 3);
    EXPECT_EQ(statuses(),
              (std::map<std::size_t, FileStatus>{
                  {0, FileStatus::Converted}, {1, FileStatus::Failed}, {2, FileStatus::Failed}}));
    EXPECT_TRUE(report.ends_with(" (1) tiff file(s) converted\n (2) tiff file(s) failed\n"))
        << report;
    // The observer saw each file's lines in turn, the batch's own and the
    // engine's, in list order.
    const std::size_t notes =
        recorder.lines.find("Failed to get tiff page(s) of " + in("notes.tif"));
    EXPECT_LT(recorder.lines.find("Convert: " + in("a.tif")), notes);
    EXPECT_LT(notes, recorder.lines.find("Convert: " + in("mask.tif")));
    EXPECT_EQ(recorder.lines.size(), result.fileLines.size() + result.engineLines.size());

    // The merge of the same files: its inputs in merge order, the same failures.
    recorder = {};
    request.saveName = "all.tif";
    result = run(1);
    EXPECT_EQ(recorder.started,
              (std::vector<std::string>{"0/3 " + in("a.tif"), "1/3 " + in("notes.tif"),
                                        "2/3 " + in("mask.tif")}));
    EXPECT_EQ(result.failures, 2);
    EXPECT_TRUE(report.ends_with("1 files merged\n2 files failed\n")) << report;
}

TEST_F(RunBatch, AStopEndsTheRunBetweenTwoFilesAndSaysHowFarItGot) {
    for (const char* name : {"a.tif", "b.tif", "c.tif"})
        add(name, {faxPage()});
    request.operation = BatchOperation::ConvertIntoFolder;
    recorder.stopAfter = 2;
    const BatchResult result = run(0);
    EXPECT_TRUE(result.stopped);
    EXPECT_EQ(result.visited, 2);
    EXPECT_TRUE(std::filesystem::exists(out("bg31.tif")));
    EXPECT_FALSE(std::filesystem::exists(out("cg31.tif")));
    const std::string ending = "Stopped: 2 of 3 selected file(s) done\n"
                               " (2) tiff file(s) converted\n";
    EXPECT_EQ(report.substr(report.size() - ending.size()), ending);
    ASSERT_EQ(result.files.size(), 3u);
    EXPECT_EQ(result.files[2].status, FileStatus::NotBegun);
}

} // namespace
} // namespace pagesmith
