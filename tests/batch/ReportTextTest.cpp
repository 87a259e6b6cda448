#include "batch/ReportText.h"
#include "batch/BatchOperations.h"
#include "batch/BatchRequest.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

// One batch, a file converted and a file that is no TIFF file, as each place
// shows its report. Every place has the same lines of each file, between its
// own opening and closing.
TEST(ReportText, OneResultReadsAlikeInTheLogTheResultsPageAndAWatch) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "in");
    test::writeTiff(dir.path() / "in" / "a.tif", test::faxPage());
    test::writeTextFile(dir.path() / "in" / "b.tif", "not a tiff at all");
    BatchRequest request;
    request.reset();
    request.sourceFolder = dir.file("in");
    request.saveFolder = dir.file("out");
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Group4;
    request.options.keepName = 0;
    request.addFile("a.tif");
    request.addFile("b.tif");
    test::RunRecorder shown;
    const BatchResult result = runBatch(request, shown);

    const std::string header = "FUC: Convert tiff files: folder " + request.sourceFolder + " --> " +
                               request.saveFolder + "\n";
    const std::string converted = "Convert: " + dir.file("in/a.tif") + " -> " +
                                  dir.file("out/ag4.tif") + "\r\n  -- Page 0 success\r\n";
    const std::string refused = "Failed to get tiff page(s) of " + dir.file("in/b.tif") +
                                " : NOT a tiff file or file not exist \r\n";
    const std::string summary = " (1) tiff file(s) converted\n (1) tiff file(s) failed\n";

    // Each file's share, as the report went by.
    ASSERT_EQ(result.files.size(), 2u);
    EXPECT_EQ(result.files[0].lines, converted);
    EXPECT_EQ(result.files[1].lines, refused);
    EXPECT_EQ(shown.lines, converted + refused);

    EXPECT_EQ(commandLineReport(result, "pagesmith", "/d=in"),
              "\nCMD : pagesmith /d=in\n" + header + refused + "Start converting ...\n" +
                  converted + summary);
    EXPECT_EQ(windowLogEntry(result), "\nPagesmith in GUI mode\n" + header + refused +
                                          "Start converting ... \r\n----------------\r\n" +
                                          converted + summary);
    const ResultsClosing closing = resultsPageClosing(result);
    EXPECT_EQ(resultsPageOpening(false) + shown.lines + closing.text,
              "Start converting ... \r\n----------------\r\n" + converted + refused +
                  "----------------\r\nTotal 1 tiff file(s) are convertered/merged.\r\n"
                  "Total 1 tiff file(s) failed.\r\n");
    EXPECT_EQ(closing.totals,
              "Total 1 tiff file(s) are convertered/merged. Total 1 tiff file(s) failed.");
    EXPECT_EQ(watchEntry(result, result.files, "", "\nCMD : watch\n"),
              "\nCMD : watch\n" + header + "Start converting ...\n" + converted + refused +
                  summary);
}

} // namespace
} // namespace pagesmith
