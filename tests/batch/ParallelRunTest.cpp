#include "batch/BatchObserver.h"
#include "batch/BatchOperations.h"
#include "batch/BatchRequest.h"
#include "batch/OperationRun.h"
#include "batch/ReportText.h"
#include "engine/threads/CoreBudget.h"
#include "support/FaxFixtures.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <map>

namespace pagesmith {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// What a window sees of a run, in the order it sees it.
class WindowRecorder : public BatchObserver {
public:
    void reportLine(const std::string& text) override { shown.push_back("line " + text); }
    void fileFinished(const FileOutcome& outcome) override {
        shown.push_back("mark " + std::to_string(outcome.index) + " " +
                        std::to_string(int(outcome.status)) + " " + outcome.reason);
    }
    void fileStarted(int done, int total, const std::string& path) override {
        progress.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + path);
        if (stopAt >= 0 && done == stopAt)
            stop = true; // as a user's click would arrive while files are in hand
    }
    bool stopRequested() override { return stop; }

    std::vector<std::string> shown;
    std::vector<std::string> progress;
    int stopAt = -1;
    bool stop = false;
};

// Everything a run leaves: its report, what the window saw, and its outputs.
struct RunResult {
    int count = 0;
    int failures = 0;
    std::string report;
    std::vector<std::string> shown;
    std::vector<std::string> progress;
    std::vector<std::string> outcomes;
    std::map<std::string, std::string> outputs; // name -> bytes
};

class ParallelRun : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(dir.path() / "in" / "sub");
        for (int i = 0; i < 6; ++i)
            add("fax" + std::to_string(i) + ".tif", test::faxPage(64, 40 + i));
        add("colour.tif", test::rgbPage(40, 30, COMPRESSION_LZW));
        test::writeTextFile(dir.file("in/notes.tif"), "not a tiff at all");
        request.addFile("notes.tif");
        add("scan.tif", test::faxPage(64, 20)); // scan.tif and scan.tiff: one output name
        add("scan.tiff", test::faxPage(64, 24));
        add("sub/deep.tif", test::rgbPage(30, 20));
    }
    void add(const std::string& name, const test::TestPage& page) {
        test::writeTiff(dir.file("in/" + name), page);
        // As a folder scan lists it: with the system's separators.
        request.addFile(fs::path(name).make_preferred().string());
    }

    void prepare(int threads) {
        fs::remove_all(dir.path() / "out");
        request.reset();
        request.sourceFolder = dir.file("in");
        request.saveFolder = dir.file("out");
        request.saveName = "all.tif";
        request.operation = operation;
        request.options.compressionMode = CompressionMode::Group4;
        request.options.keepName = 0;
        request.options.tempFile = dir.file("scratch.tbw");
        request.options.threads = threads;
    }

    RunResult run(int threads, WindowRecorder window = {}) {
        prepare(threads);
        const BatchResult batch = runBatch(request, window);
        RunResult result;
        result.count = batch.visited;
        result.failures = batch.failures;
        result.report = runLogEntry(batch, "", startLine(batch));
        for (const FileOutcome& file : batch.files)
            result.outcomes.push_back(std::to_string(int(file.status)) + " " + file.reason);
        result.shown = window.shown;
        result.progress = window.progress;
        if (!fs::exists(dir.path() / "out"))
            return result;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path() / "out"))
            if (entry.is_regular_file())
                result.outputs[fs::relative(entry.path(), dir.path()).generic_string()] =
                    test::readTextFile(entry.path());
        return result;
    }

    TempDir dir;
    BatchRequest request;
    BatchOperation operation = BatchOperation::ConvertIntoFolder;
};

void expectSameRun(const RunResult& one, const RunResult& many) {
    EXPECT_EQ(many.count, one.count);
    EXPECT_EQ(many.failures, one.failures);
    EXPECT_EQ(many.report, one.report);
    EXPECT_EQ(many.shown, one.shown);
    EXPECT_EQ(many.progress, one.progress);
    EXPECT_EQ(many.outcomes, one.outcomes);
    EXPECT_TRUE(many.outputs == one.outputs) << "the output files differ";
}

// The report, the lines and marks in the window (in order), the progress and
// every output file are those of the one-thread run, byte for byte: also
// for the files whose outputs clash and for one named output written again
// and again, which must wait for each other.
TEST_F(ParallelRun, GivesWhatTheOneThreadRunGivesByteForByte) {
    for (BatchOperation op :
         {BatchOperation::ConvertIntoFolder, BatchOperation::ConvertToNamedFile,
          BatchOperation::ConvertIntoFolderAndCount, BatchOperation::CountPagesEach}) {
        operation = op;
        SCOPED_TRACE(int(op));
        const RunResult one = run(1);
        ASSERT_EQ(one.count, 11);
        if (op != BatchOperation::CountPagesEach) {
            ASSERT_FALSE(one.outputs.empty());
        }
        for (int threads : {2, 4})
            expectSameRun(one, run(threads));
    }
}

// A stop asked while files are in hand ends the run before the next file:
// every file begun is finished and reported, the rest never begun, and no
// output is left half-written.
TEST_F(ParallelRun, AStopLeavesTheFilesBegunWholeAndBeginsNoOther) {
    WindowRecorder stopping;
    stopping.stopAt = 3;
    const RunResult stopped = run(3, stopping);
    EXPECT_EQ(stopped.count, 4);
    EXPECT_NE(stopped.report.find("Stopped: 4 of 11 selected file(s) done\n"), std::string::npos);
    EXPECT_EQ(stopped.progress.size(), 4u);
    EXPECT_EQ(
        (std::vector<std::string>(stopped.shown.end() - 1, stopped.shown.end())),
        std::vector<std::string>{"mark 3 " + std::to_string(int(FileStatus::Converted)) + " "});
    ASSERT_EQ(stopped.outcomes.size(), 11u);
    EXPECT_EQ(stopped.outcomes[4], std::to_string(int(FileStatus::NotBegun)) + " ");
    std::vector<std::string> names;
    for (const auto& [name, bytes] : stopped.outputs)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"out/fax0g4.tif", "out/fax1g4.tif", "out/fax2g4.tif",
                                               "out/fax3g4.tif"}));

    // The same stop in a one-thread run leaves the same.
    WindowRecorder stoppingAlone;
    stoppingAlone.stopAt = 3;
    expectSameRun(run(1, stoppingAlone), stopped);
}

// The pool's threads take a core each for a file and the batch thread lends
// its own while it waits for them: afterwards every core is back.
TEST_F(ParallelRun, GivesBackEveryCoreItTook) {
    for (int threads : {2, 3, 4}) {
        SCOPED_TRACE(threads);
        prepare(threads);
        WindowRecorder window;
        CoreBudget cores(threads);
        BatchResult result;
        OperationRun files(request, window, cores, result);
        files.convertSelectedFiles();
        EXPECT_EQ(result.files.size(), 11u);
        EXPECT_EQ(cores.freeNow(), threads - 1);
    }
}

// Colour and palette pages whose resolution only the scratch file keeps
// each go through a scratch file of their thread's own on their way to
// Group 4: several at a time, they give the one-thread run's bytes and
// report (a 16-bit colour page, which fax refuses, among them).
TEST_F(ParallelRun, FilesThroughTheScratchFileGiveTheOneThreadBytes) {
    auto throughScratch = [](test::TestPage page, unsigned seed) {
        page.pixels = test::patternPixels(page, seed);
        const auto tags = page.extraTags;
        page.extraTags = [tags](TIFF* tif) {
            if (tags)
                tags(tif);
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, 3e12);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, 3e12);
        };
        return page;
    };
    const test::TestPage pages[] = {test::palettePage(500, 400), test::rgbPage(500, 400),
                                    test::rgbPage(500, 400, COMPRESSION_NONE)};
    test::TestPage deepColour = test::rgbPage(500, 400);
    deepColour.bitsPerSample = 16;
    request.clearFiles();
    for (unsigned i = 0; i < 8; ++i)
        add("scratch" + std::to_string(i) + ".tif", throughScratch(pages[i % 3], i + 1));
    add("deep.tif", throughScratch(deepColour, 9));

    const RunResult one = run(1);
    ASSERT_EQ(one.outputs.size(), 9u); // the 16-bit colour page too
    ASSERT_TRUE(fs::exists(dir.path() / "scratch.tbw")) << "no page went through it";
    for (int threads : {2, 4})
        expectSameRun(one, run(threads));
}

} // namespace
} // namespace pagesmith
