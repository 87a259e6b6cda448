#include "batch/BatchOperations.h"
#include "base/Paths.h"
#include "batch/BatchProgress.h"
#include "batch/BatchRequest.h"
#include "batch/ReportRoute.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
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
    // A run whose window, if any, is `window`.
    int run(int merge, ProgressTarget target = kMessageBufferTarget,
            MainWindowHooks* window = nullptr) {
        ReportRoute route(target, window, messages);
        return runBatch(request, merge, route);
    }
    std::string in(const std::string& name) const { return dir.file("in/" + name); }
    std::string out(const std::string& name) const { return dir.file("out/" + name); }
    void add(const std::string& name, std::vector<TestPage> pages) {
        test::writeTiff(in(name), pages);
        request.addFile(name);
    }
    void addText(const std::string& name) {
        test::writeTextFile(in(name), "not a tiff at all");
        request.addFile(name);
    }

    TempDir dir;
    BatchRequest request;
    test::MessageRecorder messages;
};

TEST_F(RunBatch, CountsThePagesOfEachFile) {
    add("a.tif", {faxPage(), faxPage(), faxPage()});
    addText("notes.tif");
    request.operation = BatchOperation::CountPagesEach;
    EXPECT_EQ(run(0), 2);
    EXPECT_EQ(request.resultText, "FUC: Count tiff file pages in folder " + dir.file("in") + "\n" +
                                      " (3) page(s) in tiff-file: " + in("a.tif") + "\n" +
                                      "Failed to get tiff page(s) of " + in("notes.tif") +
                                      " : NOT a tiff file or file not exist \r\n");
}

TEST_F(RunBatch, TotalCountsUnreadableFilesButNotTheirPages) {
    add("a.tif", {faxPage(), faxPage(), faxPage()});
    addText("notes.tif");
    request.operation = BatchOperation::CountTotalPages;
    EXPECT_EQ(run(0), 2);
    EXPECT_EQ(request.resultText, "FUC: Count total pages of all tiff files in folder\n"
                                  "Failed to get tiff page(s) of " +
                                      in("notes.tif") +
                                      " : NOT a tiff file or file not exist \r\n"
                                      " (2) tiff file(s), (3) total page(s) in folder " +
                                      dir.file("in") + "\n");

    request.options.shortLog = 1;
    request.resultText.clear();
    run(0);
    EXPECT_EQ(request.resultText, "Failed to get tiff page(s) of " + in("notes.tif") +
                                      " : NOT a tiff file or file not exist \r\n"
                                      " (2) tiff file(s), (3) total page(s)\n");
}

TEST_F(RunBatch, ConvertsIntoTheSaveFolderMirroringSubFolders) {
    add("a.tif", {faxPage()});
    add("sub/b.tif", {faxPage(), faxPage()});
    request.fileSelected = {1, 1};
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Lzw;
    test::FakeMainWindow window; // the rows of the list get their marks
    EXPECT_EQ(run(0, kMessageBufferTarget, &window), 2);

    EXPECT_EQ(test::countPages(out("alzw.tif")), 1);
    EXPECT_EQ(test::countPages(out("sub/blzw.tif")), 2);
    EXPECT_EQ(test::readPage(out("sub/blzw.tif"), 1).pixels,
              test::readPage(in("sub/b.tif"), 1).pixels);
    EXPECT_EQ(request.resultText, "FUC: Convert tiff files: folder " + dir.file("in") + " --> " +
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
    EXPECT_EQ(window.statuses,
              (std::map<std::size_t, std::string>{{0, "Converted"}, {1, "Converted"}}));
}

TEST_F(RunBatch, ConvertingCountsAndSkipsUnselectedFiles) {
    add("a.tif", {faxPage(), faxPage()});
    add("b.tif", {faxPage()});
    addText("c.tif");
    request.fileSelected = {1, 0, 1};
    request.operation = BatchOperation::ConvertIntoFolderAndCount;
    request.options.compressionMode = CompressionMode::Group4;
    EXPECT_EQ(run(0), 2);
    EXPECT_TRUE(std::filesystem::exists(out("ag4.tif")));
    EXPECT_FALSE(std::filesystem::exists(out("bg4.tif")));
    EXPECT_TRUE(request.resultText.ends_with(" (2) tiff file(s) converted, (2) total page(s)\n"))
        << request.resultText;
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
    EXPECT_EQ(run(0), 2);
    ASSERT_EQ(test::countPages(out("oneg4.tif")), 2);
    EXPECT_EQ(test::readPage(out("oneg4.tif")).length, 20u);
    // No summary line for this operation; the replaced output is reported.
    EXPECT_TRUE(request.resultText.ends_with("  -- Page 1 success\r\n  -- Overwrote " +
                                             out("oneg4.tif") + ", written from " + in("a.tif") +
                                             " earlier in this run\r\n"))
        << request.resultText;

    // With the total count too, outputs are named after their sources.
    request.operation = BatchOperation::ConvertToNamedFileAndCount;
    run(0);
    EXPECT_TRUE(std::filesystem::exists(out("ag4.tif")));
    EXPECT_TRUE(std::filesystem::exists(out("bg4.tif")));
}

TEST_F(RunBatch, MergesTheSelectedFilesInListOrder) {
    add("b.tif", {faxPage(10), faxPage(11)});
    add("a.tif", {faxPage(12)});
    add("skipped.tif", {faxPage(13)});
    request.fileSelected = {1, 1, 0};
    request.saveName = "all.tif";
    request.options.compressionMode = CompressionMode::Group4;
    test::FakeMainWindow window;
    EXPECT_EQ(run(1, kMessageBufferTarget, &window), 2);

    ASSERT_EQ(test::countPages(out("all.tif")), 3); // no suffix for a merge
    EXPECT_EQ(test::readPage(out("all.tif"), 2).length, 12u);
    EXPECT_EQ(request.options.keepName, 1);
    EXPECT_EQ(request.resultText, "FUC: Merge tiff files: folder " + dir.file("in") + " --> " +
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
    EXPECT_EQ(window.statuses, (std::map<std::size_t, std::string>{{0, "Merged"}, {1, "Merged"}}));
}

TEST_F(RunBatch, AMergeTakesAtMostAThousandFiles) {
    const std::vector<TestPage> tiny = {faxPage(1)};
    for (int i = 0; i < 1001; ++i)
        add("f" + std::to_string(i).append(".tif"), tiny);
    request.saveName = "all";
    request.options.compressionMode = CompressionMode::Group4;
    request.options.shortLog = 1;
    test::FakeMainWindow window;
    EXPECT_EQ(run(1, kMessageBufferTarget, &window), 1000);
    EXPECT_EQ(request.resultText, "1000 files merged\n");
    EXPECT_EQ(test::countPages(out("all.tif")), 1000);
    EXPECT_EQ(window.statuses.size(), 1000u);
    EXPECT_EQ(window.statuses.count(1000), 0u);
}

TEST_F(RunBatch, AMergeOfNothingMakesNoFileAndSaysSo) {
    request.saveName = "empty.tif";
    EXPECT_EQ(run(1), 0);
    EXPECT_TRUE(request.resultText.ends_with("Start merging ...\n  -- Failed: no page written to " +
                                             out("empty.tif") + "\r\n0 files merged\n"))
        << request.resultText;
    EXPECT_FALSE(std::filesystem::exists(out("empty.tif")));
}

TEST_F(RunBatch, WindowJobsTakeTheEngineLinesFromTheResultsPage) {
    add("a.tif", {faxPage()});
    request.operation = BatchOperation::ConvertIntoFolder;
    test::FakeMainWindow window;
    window.pages[kResultsPage] = "Start converting ... \r\n----------------\r\n";
    run(0, kResultsPage, &window);
    EXPECT_EQ(window.pages[kResultsPage], "Start converting ... \r\n----------------\r\n"
                                          "Convert: " +
                                              in("a.tif") + " -> " + out("ag31.tif") +
                                              "\r\n  -- Page 0 success\r\n");
    EXPECT_EQ(request.resultText, "FUC: Convert tiff files: folder " + dir.file("in") + " --> " +
                                      dir.file("out") + "\n" + window.pages[kResultsPage] +
                                      " (1) tiff file(s) converted\n");
}

TEST_F(RunBatch, RefusesOutputPathsTooLongForThePlatform) {
    add("a.tif", {faxPage()});
    add("b.tif", {faxPage()});
    request.operation = BatchOperation::ConvertIntoFolder;
    request.saveFolder = dir.file(std::string(maxPathBytes(), 'x'));
    EXPECT_EQ(run(0), 2);
    EXPECT_NE(request.resultText.find("Failed to convert " + in("a.tif") + " : path too long\r\n"),
              std::string::npos);
    EXPECT_NE(request.resultText.find("Failed to convert " + in("b.tif") + " : path too long\r\n"),
              std::string::npos);
    EXPECT_TRUE(request.resultText.ends_with(" (2) tiff file(s) converted\n"));
}

TEST_F(RunBatch, WithNoFilesWritesOnlyTheHeaderAndAZeroSummary) {
    request.operation = BatchOperation::ConvertIntoFolder;
    EXPECT_EQ(run(0), 0);
    EXPECT_EQ(request.resultText, "FUC: Convert tiff files: folder " + dir.file("in") + " --> " +
                                      dir.file("out") +
                                      "\nStart converting ...\n"
                                      " (0) tiff file(s) converted\n");
}

// Follows a run as a progress display does, and stops it after `stopAfter` files.
class ProgressRecorder : public BatchProgress {
public:
    void fileStarted(int done, int total, const std::string& path) override {
        calls.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + path);
    }
    bool stopRequested() override { return int(calls.size()) >= stopAfter; }

    int stopAfter = 1000;
    std::vector<std::string> calls;
};

TEST_F(RunBatch, ReportsEachFileAsItBeginsAndCountsWhatFailed) {
    add("a.tif", {test::rgbPage(8, 8)});
    addText("notes.tif");
    add("mask.tif", {test::maskPage()}); // no colours: JPEG refuses it
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Jpeg;
    ProgressRecorder progress;
    ReportRoute route(kMessageBufferTarget, nullptr, messages);
    route.setProgress(&progress);
    EXPECT_EQ(runBatch(request, 0, route), 3);
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"0/3 " + in("a.tif"), "1/3 " + in("notes.tif"),
                                        "2/3 " + in("mask.tif")}));
    // The text file; the mask page, and the output it leaves without a page.
    EXPECT_EQ(route.failures(), 3);

    // The merge of the same files: its inputs in merge order, the same failures.
    progress.calls.clear();
    ReportRoute mergeRoute(kMessageBufferTarget, nullptr, messages);
    mergeRoute.setProgress(&progress);
    request.saveName = "all.tif";
    EXPECT_EQ(runBatch(request, 1, mergeRoute), 3);
    EXPECT_EQ(progress.calls,
              (std::vector<std::string>{"0/3 " + in("a.tif"), "1/3 " + in("notes.tif"),
                                        "2/3 " + in("mask.tif")}));
    EXPECT_EQ(mergeRoute.failures(), 2);
}

TEST_F(RunBatch, AStopEndsTheRunBetweenTwoFilesAndSaysHowFarItGot) {
    for (const char* name : {"a.tif", "b.tif", "c.tif"})
        add(name, {faxPage()});
    request.operation = BatchOperation::ConvertIntoFolder;
    ProgressRecorder progress;
    progress.stopAfter = 2;
    ReportRoute route(kMessageBufferTarget, nullptr, messages);
    route.setProgress(&progress);
    EXPECT_EQ(runBatch(request, 0, route), 2);
    EXPECT_TRUE(std::filesystem::exists(out("bg31.tif")));
    EXPECT_FALSE(std::filesystem::exists(out("cg31.tif")));
    const std::string ending = "Stopped: 2 of 3 selected file(s) done\n"
                               " (2) tiff file(s) converted\n";
    EXPECT_EQ(request.resultText.substr(request.resultText.size() - ending.size()), ending);
}

} // namespace
} // namespace pagesmith
