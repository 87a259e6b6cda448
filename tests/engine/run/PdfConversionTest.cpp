// Whole documents: merges and their page order, the paper size of a page,
// the document's information, and what is left on disk when something fails.

#include "support/PdfChecks.h"

#include "engine/run/ConvertFiles.h"
#include "support/FaxFixtures.h"
#include "support/PdfChecks.h"
#include "support/Recorders.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

namespace pagesmith::test {
namespace {

namespace fs = std::filesystem;

class PdfConversion : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pdfToolsPresent())
            GTEST_SKIP() << "poppler's and qpdf's tools are not installed";
    }

    ConvertResult convert(const std::vector<fs::path>& inputs, const fs::path& output,
                          ConversionOptions options = {}) {
        std::vector<std::string> paths;
        for (const fs::path& input : inputs)
            paths.push_back(input.string());
        report = ReportRecorder{};
        return convertToPdf(int(paths.size()), paths, output.string(), options, report);
    }

    // The names in the folder, the temporary names of unfinished outputs too.
    std::vector<std::string> namesIn(const fs::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir folder;
    ReportRecorder report;
};

TestPage withResolution(TestPage page, float x, float y, std::uint16_t unit) {
    page.extraTags = [x, y, unit](TIFF* tif) {
        if (x > 0)
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, x);
        if (y > 0)
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, y);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, unit);
    };
    return page;
}

TEST_F(PdfConversion, MergePutsEveryPageOfEveryFileInOrderWithTheLinesOfAMerge) {
    const fs::path a = folder.path() / "a.tif", b = folder.path() / "b.tif";
    const fs::path pdf = folder.path() / "all.pdf";
    writeTiff(a, {faxPage(64, 32), rgbPage(40, 30, COMPRESSION_LZW)});
    TestPage grey = rgbPage(24, 24, COMPRESSION_PACKBITS);
    grey.samplesPerPixel = 1;
    grey.photometric = PHOTOMETRIC_MINISBLACK;
    writeTiff(b, grey);

    ASSERT_EQ(convert({a, b}, pdf), ConvertResult::Done);
    EXPECT_EQ(report.lines, "Merge:   " + a.string() + " -> " + pdf.string() +
                                "\r\n  -- Page 0 success\r\n  -- Page 1 success\r\n"
                                "Merge:   " +
                                b.string() + " -> " + pdf.string() + "\r\n  -- Page 0 success\r\n");
    EXPECT_TRUE(qpdfChecks(pdf));
    const std::vector<ListedImage> images = listImages(pdf);
    ASSERT_EQ(images.size(), 3u);
    const std::vector<std::pair<fs::path, int>> pages = {{a, 0}, {a, 1}, {b, 0}};
    for (int page = 1; page <= 3; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(images[page - 1].page, page);
        const EightBitPage expected = eightBitPage(pages[page - 1].first, pages[page - 1].second);
        EXPECT_EQ(images[page - 1].width, expected.width);
        EXPECT_EQ(renderedDifference(pdf, page, expected, 200, 200), 0);
    }
    // The pages named in a list, in its order.
    ASSERT_EQ(convert({fs::path(a.string() + ",1,0")}, pdf), ConvertResult::Done);
    const std::vector<ListedImage> listed = listImages(pdf);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0].width, 40);
    EXPECT_EQ(listed[1].width, 64);
}

TEST_F(PdfConversion, PageSizeComesFromTheResolutionAndIs200DpiWithoutOne) {
    struct SizeCase {
        const char* name;
        float x, y;
        std::uint16_t unit;
        double width, height; // points
    };
    // A 1728 x 1100 fax page.
    const SizeCase cases[] = {
        {"fax, 204 x 98 dpi", 204, 98, RESUNIT_INCH, 1728 * 72.0 / 204, 1100 * 72.0 / 98},
        {"300 dpi", 300, 300, RESUNIT_INCH, 414.72, 264},
        {"per centimetre", 80, 40, RESUNIT_CENTIMETER, 1728 * 72 / 203.2, 1100 * 72 / 101.6},
        {"no resolution", 0, 0, RESUNIT_INCH, 622.08, 396},
        {"one value for both", 0, 100, RESUNIT_INCH, 1244.16, 792},
        {"no unit: the ratio at 200 across", 2, 1, RESUNIT_NONE, 622.08, 792},
    };
    for (const SizeCase& size : cases) {
        SCOPED_TRACE(size.name);
        const fs::path tiff = folder.path() / "page.tif", pdf = folder.path() / "page.pdf";
        writeTiff(tiff, withResolution(faxPage(1728, 1100), size.x, size.y, size.unit));
        ASSERT_EQ(convert({tiff}, pdf), ConvertResult::Done);
        double width = 0, height = 0;
        const std::string line = infoField(pdfInfo(pdf), "Page    1 size");
        ASSERT_EQ(std::sscanf(line.c_str(), "%lf x %lf", &width, &height), 2) << line;
        EXPECT_NEAR(width, size.width, 0.01);
        EXPECT_NEAR(height, size.height, 0.01);
    }
}

TEST_F(PdfConversion, FaxPageAt204By98DpiShowsItsPixelsAtItsOwnResolution) {
    const fs::path tiff = folder.path() / "fax.tif", pdf = folder.path() / "fax.pdf";
    writeTiff(tiff, withResolution(faxPage(1728, 300), 204, 98, RESUNIT_INCH));
    ASSERT_EQ(convert({tiff}, pdf), ConvertResult::Done);
    EXPECT_EQ(renderedDifference(pdf, 1, eightBitPage(tiff), 204, 98), 0);
}

TEST_F(PdfConversion, DocumentNamesItsTitleProducerAndCreationDate) {
    const fs::path tiff = folder.path() / "letter 7.tif";
    const fs::path pdf = folder.path() / "letter 7.pdf";
    writeTiff(tiff, faxPage());
    ASSERT_EQ(convert({tiff}, pdf), ConvertResult::Done);
    const std::string info = pdfInfo(pdf);
    EXPECT_EQ(infoField(info, "Title"), "letter 7");
    EXPECT_EQ(infoField(info, "Producer"), std::string("Pagesmith ") + PAGESMITH_VERSION);
    EXPECT_FALSE(infoField(info, "CreationDate").empty());
    EXPECT_EQ(infoField(info, "Pages"), "1");
}

TEST_F(PdfConversion, PageThatCannotBeReadFailsWithItsLineAndTheDocumentKeepsTheOthers) {
    const fs::path tiff = folder.path() / "mixed.tif", pdf = folder.path() / "mixed.pdf";
    writeTiff(tiff, {faxPage(), maskPage(), rgbPage()});
    ASSERT_EQ(convert({tiff}, pdf), ConvertResult::Done);
    EXPECT_EQ(report.lines, "Convert: " + tiff.string() + " -> " + pdf.string() +
                                "\r\n  -- Page 0 success\r\n" + kMaskRefusal +
                                "  -- Page 1 failed\r\n  -- Page 2 success\r\n");
    EXPECT_EQ(report.failures, 1);
    EXPECT_EQ(infoField(pdfInfo(pdf), "Pages"), "2");
    EXPECT_TRUE(qpdfChecks(pdf));
}

// Lines come once the document is written; each input's lines and failures
// are said to be its own, so that a failure counts against the input it
// belongs to.
TEST_F(PdfConversion, MergeAnnouncesEachInputBeforeItsLinesAndFailures) {
    struct Events : ProgressReport {
        void addLine(const ReportLine&) override {}
        void showError(const std::string&, const std::string&) override {}
        void noteFailure() override { order += "failure "; }
        void linesOfInput(std::size_t input) override { order += std::to_string(input) + " "; }
        std::string order;
    } events;
    const fs::path a = folder.path() / "a.tif", b = folder.path() / "b.tif";
    writeTiff(a, {faxPage(), maskPage()});
    writeTiff(b, faxPage());
    ASSERT_EQ(convertToPdf(2, {a.string(), b.string()}, (folder.path() / "m.pdf").string(),
                           ConversionOptions{}, events),
              ConvertResult::Done);
    EXPECT_EQ(events.order, "0 failure 1 ");
}

TEST_F(PdfConversion, RowsThatCannotBeReadAreLeftBlankAndTheLineSaysHowMany) {
    const fs::path tiff = folder.path() / "damaged.tif", pdf = folder.path() / "damaged.pdf";
    TestPage page = rgbPage(40, 30, COMPRESSION_LZW);
    page.rowsPerStrip = 10;
    writeTiff(tiff, page);
    damageStrip(tiff, 1);
    ASSERT_EQ(convert({tiff}, pdf), ConvertResult::Done);
    EXPECT_NE(report.lines.find("  -- Page 0 damaged: "), std::string::npos) << report.lines;
    EXPECT_NE(report.lines.find(" of 30 rows could not be read, left blank\r\n"),
              std::string::npos);
    EXPECT_EQ(report.failures, 1);
    EXPECT_TRUE(qpdfChecks(pdf));
}

TEST_F(PdfConversion, OutputIsWrittenWholeOrNotAtAll) {
    const fs::path tiff = folder.path() / "in.tif";
    writeTiff(tiff, faxPage());

    // No page: no file, and an older one of that name stays as it was.
    const fs::path older = folder.path() / "older.pdf";
    writeTextFile(older, "older");
    const fs::path text = folder.path() / "text.tif";
    writeTextFile(text, "not a TIFF file");
    EXPECT_EQ(convert({text}, older), ConvertResult::NoPageWritten);
    EXPECT_EQ(readTextFile(older), "older");
    EXPECT_NE(report.lines.find("  -- Failed: no page written to " + older.string()),
              std::string::npos);

    // A folder that does not exist: nothing written anywhere.
    const fs::path nowhere = folder.path() / "missing" / "out.pdf";
    EXPECT_EQ(convert({tiff}, nowhere), ConvertResult::OutputUnusable);
    EXPECT_EQ(report.lines, "Convert: " + tiff.string() + " -> " + nowhere.string() +
                                "\r\n  -- Page 0 failed\r\n  -- Failed: cannot create " +
                                nowhere.string() + "\r\n");

    // Never over a source, however it is named.
    const fs::path namedAsADocument = folder.path() / "source.pdf";
    fs::copy_file(tiff, namedAsADocument);
    EXPECT_EQ(convert({namedAsADocument}, namedAsADocument), ConvertResult::OutputUnusable);
    EXPECT_EQ(countPages(namedAsADocument), 1);
    fs::remove(namedAsADocument);

    // A new document replaces the older one whole, and no temporary name stays.
    EXPECT_EQ(convert({tiff}, older), ConvertResult::Done);
    EXPECT_TRUE(qpdfChecks(older));
    EXPECT_EQ(namesIn(folder.path()),
              (std::vector<std::string>{"in.tif", "older.pdf", "text.tif"}));
}

TEST_F(PdfConversion, ConvertFilesWritesADocumentForThePdfMode) {
    const fs::path tiff = folder.path() / "scan.tif";
    writeTiff(tiff, faxPage());
    ConversionOptions options;
    options.compressionMode = CompressionMode::Pdf;
    options.keepName = 0;
    const std::string base = (folder.path() / "scan").string();
    EXPECT_EQ(outputPathOf(base, options), base + ".pdf");
    ReportRecorder lines;
    ASSERT_EQ(convertFiles(1, {tiff.string()}, base, options, lines), ConvertResult::Done);
    EXPECT_EQ(listImages(base + ".pdf").size(), 1u);
}

// A directory that cannot be read is a failed page, never the end of the
// file; a chain cut short says so; a stop leaves no document.
TEST_F(PdfConversion, DamagedDirectoriesAreFailedPagesAndAStopLeavesNoDocument) {
    const fs::path tiff = folder.path() / "line\nbreak.tif", pdf = folder.path() / "out.pdf";
    const std::string shown = (folder.path() / "line?break.tif").string();
    writeTiff(tiff, {faxPage(), faxPage(), faxPage()});
    clearPageEntryTypes(tiff, 1);
    ASSERT_EQ(convert({tiff}, pdf), ConvertResult::Done);
    EXPECT_EQ(report.lines, "Convert: " + shown + " -> " + pdf.string() +
                                "\r\n  -- Page 0 success\r\n"
                                "  -- Failed: the directory of page 1 cannot be read\r\n"
                                "  -- Page 1 failed\r\n  -- Page 2 success\r\n");
    EXPECT_EQ(report.failures, 1);
    EXPECT_EQ(infoField(pdfInfo(pdf), "Pages"), "2");

    const fs::path cut = folder.path() / "cut.tif";
    writeTiff(cut, {faxPage(), faxPage()});
    setNextDirectory(cut, 1, 0x7FFFFFF0);
    ASSERT_EQ(convert({cut}, pdf), ConvertResult::Done);
    EXPECT_NE(report.lines.find("  -- Failed: the pages after page 1 cannot be reached\r\n"),
              std::string::npos)
        << report.lines;
    EXPECT_EQ(report.failures, 1);

    const std::atomic<int> stop{15};
    ConversionOptions stopped;
    stopped.interruption = &stop;
    fs::remove(pdf);
    EXPECT_EQ(convert({cut}, pdf, stopped), ConvertResult::Stopped);
    EXPECT_EQ(report.lines, "  -- Stopped: " + pdf.string() + " not written\r\n");
    EXPECT_FALSE(fs::exists(pdf));
}

} // namespace
} // namespace pagesmith::test
