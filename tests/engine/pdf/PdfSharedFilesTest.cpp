// Real files written by other programs, every page of each into a document:
// a sound document, and every page showing its own pixels (JPEG pages within
// a little of the decoder's own).

#include "support/PdfChecks.h"

#include "engine/pdf/PdfPageSize.h"
#include "support/PdfChecks.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

namespace fs = std::filesystem;

TEST(PdfSharedFiles, EveryPageOfEveryFileShowsItsOwnPixels) {
    const fs::path shared = sharedTestData();
    if (shared.empty())
        GTEST_SKIP() << "no shared test files in this checkout";
    if (!pdfToolsPresent())
        GTEST_SKIP() << "poppler's and qpdf's tools are not installed";
    int pagesChecked = 0;
    for (const auto& entry : fs::directory_iterator(shared)) {
        const fs::path tiff = entry.path();
        const int pages = countPages(tiff);
        if (pages <= 0)
            continue;
        SCOPED_TRACE(tiff.filename().string());
        TempDir folder;
        const fs::path pdf = folder.path() / "out.pdf";
        ReportRecorder report;
        ASSERT_EQ(convertToPdf(1, {tiff.string()}, pdf.string(), ConversionOptions{}, report),
                  ConvertResult::Done);
        EXPECT_EQ(report.failures, 0) << report.lines;
        EXPECT_TRUE(qpdfChecks(pdf));
        const std::vector<ListedImage> images = listImages(pdf);
        for (int page = 0; page < pages; ++page) {
            SCOPED_TRACE(page);
            TiffHandle file = openPage(tiff, page);
            std::uint16_t compression = COMPRESSION_NONE;
            std::uint32_t width = 0, length = 0;
            TIFFGetFieldDefaulted(file.get(), TIFFTAG_COMPRESSION, &compression);
            TIFFGetField(file.get(), TIFFTAG_IMAGEWIDTH, &width);
            TIFFGetField(file.get(), TIFFTAG_IMAGELENGTH, &length);
            const PdfPageSize size = pdfPageSize(file.get(), width, length);
            const EightBitPage expected = eightBitPage(tiff, page);
            bool keptAsJpeg = false;
            for (const ListedImage& image : images)
                keptAsJpeg = keptAsJpeg || (image.page == page + 1 && image.encoding == "jpeg");
            if (keptAsJpeg) {
                std::uint32_t stripRows = length;
                TIFFGetField(file.get(), TIFFTAG_ROWSPERSTRIP, &stripRows);
                int atJoins = 0;
                EXPECT_EQ(renderedDifferenceAwayFromJoins(pdf, page + 1, expected, size.xResolution,
                                                          size.yResolution, int(stripRows),
                                                          atJoins),
                          0);
                EXPECT_LE(atJoins, 64);
            } else {
                EXPECT_EQ(
                    renderedDifference(pdf, page + 1, expected, size.xResolution, size.yResolution),
                    0);
            }
            ++pagesChecked;
        }
    }
    EXPECT_GT(pagesChecked, 0);
}

} // namespace
} // namespace pagesmith::test
