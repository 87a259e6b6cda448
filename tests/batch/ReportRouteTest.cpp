#include "batch/ReportRoute.h"

#include "engine/ConvertFiles.h"
#include "inspect/TiffInfo.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

using test::TempDir;

class ReportRouteTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeTiff(fax, test::faxPage(32, 16, COMPRESSION_CCITTFAX4));
        options.keepName = 1;
        options.compressionMode = CompressionMode::Lzw;
    }

    TempDir dir;
    const std::string fax = dir.file("g4.tif");
    ConversionOptions options;
    test::FakeMainWindow window;
    test::MessageRecorder messages;
};

TEST_F(ReportRouteTest, TheInformationReportGoesToTheWindowPageItIsAddressedTo) {
    ReportRoute info(kInfoPage, &window, messages);
    ReportRoute results(kResultsPage, &window, messages);
    writeTiffInfo(fax, info);
    writeTiffInfo(dir.file("none.tif"), results);

    EXPECT_EQ(window.pages[kInfoPage], "Tiff Name:   " + fax +
                                           "\r\n"
                                           "Total pages: 1\r\n"
                                           "Image Size:  32 x 16\r\n"
                                           "Compression: 4 = Group 4 Fax\r\n");
    EXPECT_EQ(window.pages[kResultsPage], "Error tiff file : " + dir.file("none.tif") + "\r\n");
    EXPECT_EQ(info.messageBuffer(), "");
    EXPECT_EQ(results.messageBuffer(), "");
}

TEST_F(ReportRouteTest, TheInformationReportIsDroppedForAWindowPageWithoutAWindow) {
    ReportRoute info(kInfoPage, nullptr, messages);
    ReportRoute results(kResultsPage, nullptr, messages);
    EXPECT_EQ(writeTiffInfo(fax, info), 0);
    EXPECT_EQ(writeTiffInfo(dir.file("none.tif"), results), -1);
    EXPECT_EQ(info.messageBuffer(), "");
    EXPECT_EQ(results.messageBuffer(), "");
}

TEST_F(ReportRouteTest, EngineLinesGoToTheWindowPageOfTheTarget) {
    ReportRoute results(kResultsPage, &window, messages);
    convertFiles(1, {fax}, dir.file("out"), options, results);
    EXPECT_EQ(window.pages[kResultsPage],
              "Convert: " + fax + " -> " + dir.file("out") + ".tif\r\n  -- Page 0 success\r\n");
    EXPECT_EQ(results.messageBuffer(), "");

    // Without a window the lines for a page go nowhere.
    ReportRoute nowhere(kResultsPage, nullptr, messages);
    convertFiles(1, {fax}, dir.file("out"), options, nowhere);
    EXPECT_EQ(nowhere.messageBuffer(), "");
    EXPECT_EQ(nowhere.paneText(kResultsPage), "");
}

TEST_F(ReportRouteTest, TheCommandLineCollectsLinesAndShowsFaultsThroughItsSink) {
    ReportRoute commandLine(kMessageBufferTarget, nullptr, messages);
    convertFiles(1, {fax}, dir.file("out"), options, commandLine);
    EXPECT_EQ(commandLine.messageBuffer(),
              "Convert: " + fax + " -> " + dir.file("out") + ".tif\r\n  -- Page 0 success\r\n");
    commandLine.showError("Exception Error", "text");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].kind, MessageKind::Error);
}

} // namespace
} // namespace pagesmith
