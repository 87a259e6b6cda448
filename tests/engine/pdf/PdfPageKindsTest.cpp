// Each kind of page into a document: the filter it gets, a document qpdf
// finds sound, and the pixels poppler shows against the page's own 8-bit
// samples.

#include "support/PageKinds.h"
#include "support/PdfChecks.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

TestPage fax(std::uint16_t compression, std::int64_t group3Options = -1) {
    TestPage page = faxPage(96, 40, compression);
    page.group3Options = group3Options;
    return page;
}

TestPage withPhotometric(TestPage page, std::uint16_t photometric) {
    page.photometric = photometric;
    return page;
}

TestPage inStrips(TestPage page, std::uint32_t rows) {
    page.rowsPerStrip = rows;
    return page;
}

TestPage lowBitFirst(TestPage page) {
    page.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_FILLORDER, FILLORDER_LSB2MSB); };
    return page;
}

TestPage samples(std::uint16_t photometric, std::uint16_t count, std::uint16_t bits,
                 std::uint16_t compression) {
    TestPage page;
    page.width = 48;
    page.length = 32;
    page.photometric = photometric;
    page.samplesPerPixel = count;
    page.bitsPerSample = bits;
    page.compression = compression;
    return page;
}

TestPage palette(std::uint16_t bits) {
    TestPage page = samples(PHOTOMETRIC_PALETTE, 1, bits, COMPRESSION_LZW);
    page.extraTags = [bits](TIFF* tif) {
        static std::vector<std::uint16_t> red, green, blue;
        const std::size_t entries = std::size_t(1) << bits;
        red.assign(entries, 0);
        green.assign(entries, 0);
        blue.assign(entries, 0);
        for (std::size_t i = 0; i < entries; ++i) {
            red[i] = std::uint16_t(i * 65535 / (entries - 1));
            green[i] = std::uint16_t(65535 - red[i]);
            blue[i] = std::uint16_t((i * 40503) & 0xFFFF);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    };
    return page;
}

TestPage ycbcrJpeg(std::uint32_t rowsPerStrip) {
    TestPage page = samples(PHOTOMETRIC_YCBCR, 3, 8, COMPRESSION_JPEG);
    page.width = 64;
    page.length = 48;
    page.jpegFromRgb = true;
    page.rowsPerStrip = rowsPerStrip;
    return page;
}

struct KindCase {
    const char* name;
    TestPage page;
    const char* encoding; // as pdfimages names the filter
    int images;           // on the page
    int tolerance;        // largest difference from the page's samples; 0: exact
};

std::vector<KindCase> kindCases() {
    return {
        {"Group 4, min-is-white", fax(COMPRESSION_CCITTFAX4), "ccitt", 1, 0},
        {"Group 4, min-is-black",
         withPhotometric(fax(COMPRESSION_CCITTFAX4), PHOTOMETRIC_MINISBLACK), "ccitt", 1, 0},
        {"Group 4, fill order 2", lowBitFirst(fax(COMPRESSION_CCITTFAX4)), "ccitt", 1, 0},
        // Each strip is coded against a white line of its own: one image each.
        {"Group 4 in strips of 16 rows", inStrips(fax(COMPRESSION_CCITTFAX4), 16), "ccitt", 3, 0},
        {"Group 3 1D", fax(COMPRESSION_CCITTFAX3, 0), "ccitt", 1, 0},
        {"Group 3 1D, byte-aligned line ends", fax(COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS),
         "ccitt", 1, 0},
        {"Group 3 2D", fax(COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING), "ccitt", 1, 0},
        {"Group 3 2D, byte-aligned, min-is-black",
         withPhotometric(fax(COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS),
                         PHOTOMETRIC_MINISBLACK),
         "ccitt", 1, 0},
        // Group 3 strips begin with a line of their own: joined into one image.
        {"Group 3 2D in strips, fill order 2",
         lowBitFirst(inStrips(fax(COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING), 7)), "ccitt", 1, 0},
        {"Group 3 1D in strips, byte-aligned",
         inStrips(fax(COMPRESSION_CCITTFAX3, GROUP3OPT_FILLBITS), 16), "ccitt", 1, 0},
        {"CCITT run lengths in strips", inStrips(fax(COMPRESSION_CCITTRLE), 9), "ccitt", 1, 0},
        {"one bit, uncompressed", fax(COMPRESSION_NONE), "image", 1, 0},
        {"one bit, PackBits, min-is-black",
         withPhotometric(fax(COMPRESSION_PACKBITS), PHOTOMETRIC_MINISBLACK), "image", 1, 0},
        {"grey, 8 bits, LZW", samples(PHOTOMETRIC_MINISBLACK, 1, 8, COMPRESSION_LZW), "image", 1,
         0},
        {"grey, 4 bits, min-is-white, PackBits",
         samples(PHOTOMETRIC_MINISWHITE, 1, 4, COMPRESSION_PACKBITS), "image", 1, 0},
        {"grey, 8 bits, min-is-white", samples(PHOTOMETRIC_MINISWHITE, 1, 8, COMPRESSION_NONE),
         "image", 1, 0},
        {"grey, 16 bits", samples(PHOTOMETRIC_MINISBLACK, 1, 16, COMPRESSION_NONE), "image", 1, 0},
        {"RGB, LZW", samples(PHOTOMETRIC_RGB, 3, 8, COMPRESSION_LZW), "image", 1, 0},
        // 3 MiB of rows: two images one under the other, 682 rows and the rest.
        {"RGB, LZW, larger than one image holds", rgbPage(1024, 1024, COMPRESSION_LZW), "image", 2,
         0},
        {"RGB, 16 bits, PackBits", samples(PHOTOMETRIC_RGB, 3, 16, COMPRESSION_PACKBITS), "image",
         1, 0},
        {"CMYK, uncompressed", samples(PHOTOMETRIC_SEPARATED, 4, 8, COMPRESSION_NONE), "image", 1,
         0},
        {"palette, 1 bit", palette(1), "image", 1, 0},
        {"palette, 4 bits", palette(4), "image", 1, 0},
        {"palette, 8 bits", palette(8), "image", 1, 0},
        {"JPEG, grey", samples(PHOTOMETRIC_MINISBLACK, 1, 8, COMPRESSION_JPEG), "jpeg", 1, 0},
        {"JPEG, RGB", samples(PHOTOMETRIC_RGB, 3, 8, COMPRESSION_JPEG), "jpeg", 1, 0},
        {"JPEG, YCbCr", ycbcrJpeg(0), "jpeg", 1, 0},
        // Strips of 16 rows joined at restart markers: the decoder smooths
        // the halved colour across the joins, which each strip alone cannot
        // (the shared files' test holds the rows away from the joins exact).
        {"JPEG, YCbCr in strips", ycbcrJpeg(16), "jpeg", 1, 16},
        {"JPEG, CMYK", samples(PHOTOMETRIC_SEPARATED, 4, 8, COMPRESSION_JPEG), "jpeg", 1, 0},
    };
}

TEST(PdfPageKinds, EachKindGetsItsFilterPassesTheCheckAndShowsItsOwnPixels) {
    if (!pdfToolsPresent())
        GTEST_SKIP() << "poppler's and qpdf's tools are not installed";
    for (const KindCase& kind : kindCases()) {
        SCOPED_TRACE(kind.name);
        TempDir folder;
        const std::filesystem::path tiff = folder.path() / "page.tif";
        const std::filesystem::path pdf = folder.path() / "page.pdf";
        writeTiff(tiff, kind.page);
        ReportRecorder report;
        ASSERT_EQ(convertToPdf(1, {tiff.string()}, pdf.string(), ConversionOptions{}, report),
                  ConvertResult::Done);
        EXPECT_EQ(report.lines, "Convert: " + tiff.string() + " -> " + pdf.string() +
                                    "\r\n  -- Page 0 success\r\n");
        EXPECT_EQ(report.failures, 0);

        std::string check;
        EXPECT_TRUE(qpdfChecks(pdf, &check)) << check;
        const std::vector<ListedImage> images = listImages(pdf);
        EXPECT_EQ(int(images.size()), kind.images);
        for (const ListedImage& image : images)
            EXPECT_EQ(image.encoding, kind.encoding);

        const EightBitPage expected = eightBitPage(tiff);
        ASSERT_FALSE(expected.samples.empty());
        EXPECT_LE(renderedDifference(pdf, 1, expected, 200, 200), kind.tolerance);
    }
}

// Adobe writes CMYK JPEG data inverted and says so with its APP14 marker;
// readers take DCTDecode data as it comes, so the image's Decode turns it back.
TEST(PdfPageKinds, CmykJpegWithAdobesMarkerShowsTheInksItStandsFor) {
    if (!pdfToolsPresent())
        GTEST_SKIP() << "poppler's and qpdf's tools are not installed";
    TempDir folder;
    const std::filesystem::path plain = folder.path() / "plain.tif";
    const std::filesystem::path adobe = folder.path() / "adobe.tif";
    const std::filesystem::path pdf = folder.path() / "adobe.pdf";
    TestPage page = samples(PHOTOMETRIC_SEPARATED, 4, 8, COMPRESSION_JPEG);
    page.extraTags = [](TIFF* tif) { TIFFSetField(tif, TIFFTAG_JPEGTABLESMODE, 0); };
    writeTiff(plain, page);

    // The same strip with the marker after its SOI.
    std::vector<std::uint8_t> strip;
    {
        TiffHandle in = openPage(plain);
        strip.resize(std::size_t(TIFFGetStrileByteCount(in.get(), 0)));
        ASSERT_GT(TIFFReadRawStrip(in.get(), 0, strip.data(), tmsize_t(strip.size())), 0);
    }
    const std::uint8_t marker[] = {0xFF, 0xEE, 0,   14, 'A', 'd', 'o', 'b',
                                   'e',  0,    100, 0,  0,   0,   0,   0};
    strip.insert(strip.begin() + 2, std::begin(marker), std::end(marker));
    {
        TiffHandle out(adobe.string(), "w");
        TIFF* tif = out.get();
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, page.width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, page.length);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 4);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
        TIFFSetField(tif, TIFFTAG_JPEGTABLESMODE, 0);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, page.length);
        ASSERT_GT(TIFFWriteRawStrip(tif, 0, strip.data(), tmsize_t(strip.size())), 0);
        ASSERT_TRUE(TIFFWriteDirectory(tif));
    }

    ReportRecorder report;
    ASSERT_EQ(convertToPdf(1, {adobe.string()}, pdf.string(), ConversionOptions{}, report),
              ConvertResult::Done);
    const std::vector<ListedImage> images = listImages(pdf);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].encoding, "jpeg");
    EightBitPage inks = eightBitPage(adobe);
    ASSERT_EQ(inks.channels, 4);
    for (std::uint8_t& ink : inks.samples)
        ink = std::uint8_t(255 - ink);
    EXPECT_EQ(renderedDifference(pdf, 1, inks, 200, 200), 0);
}

// Kinds PDF cannot show as they are go in as the 8-bit samples the rules
// make of them, worked out by hand from the values written.
TEST(PdfPageKinds, EveryKindShowsTheEightBitSamplesItsValuesStandFor) {
    if (!pdfToolsPresent())
        GTEST_SKIP() << "poppler's and qpdf's tools are not installed";
    for (const PageKind& kind : pageKinds()) {
        SCOPED_TRACE(kind.name);
        TempDir folder;
        const std::filesystem::path tiff = folder.path() / "kind.tif";
        const std::filesystem::path pdf = folder.path() / "kind.pdf";
        const ReducedPage reduced = writeKind(kind, tiff, 32, 32);
        ReportRecorder report;
        ASSERT_EQ(convertToPdf(1, {tiff.string()}, pdf.string(), ConversionOptions{}, report),
                  ConvertResult::Done);
        EXPECT_TRUE(qpdfChecks(pdf));
        const bool lossy = kind.compression == COMPRESSION_JPEG;
        EightBitPage expected{32, 32, reduced.channels, reduced.samples};
        EXPECT_LE(renderedDifference(pdf, 1, expected, 200, 200), lossy ? 3 : 0);
    }
}

} // namespace
} // namespace pagesmith::test
