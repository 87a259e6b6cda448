#include "support/CopyTestSupport.h"

#include "engine/run/ConvertFiles.h"
#include "engine/threads/CoreBudget.h"
#include "support/FaxFixtures.h"
#include "support/Recorders.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

// The copy the streaming routines replaced: the whole image read into one
// buffer, then written.
std::string copiedWhole(const std::filesystem::path& input, const std::filesystem::path& output,
                        const OutputLayout& layout, ImageReader reader, ImageWriter writer) {
    {
        TiffHandle in = openPage(input);
        TiffHandle out(output.string(), "w");
        setUpOutputDirectory(in.get(), out.get(), layout);
        std::uint32_t width = 0, length = 0;
        std::uint16_t spp = 1;
        TIFFGetField(in.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(in.get(), TIFFTAG_IMAGELENGTH, &length);
        TIFFGetFieldDefaulted(in.get(), TIFFTAG_SAMPLESPERPIXEL, &spp);
        EXPECT_TRUE(
            copyThroughImageBuffer(reader, writer, in.get(), out.get(), length, width, spp));
        EXPECT_TRUE(TIFFWriteDirectory(out.get()));
    }
    return readTextFile(output);
}

std::string copiedBy(const std::filesystem::path& input, const std::filesystem::path& output,
                     const OutputLayout& layout, CoreBudget* cores) {
    EXPECT_TRUE(copyPage(input, output, layout, cores).directoryWritten);
    return readTextFile(output);
}

struct StreamedCase {
    const char* name;
    TestPage input;
    OutputLayout output;
    ImageReader reader = nullptr; // with the writer, the whole-image copy; none: one thread
    ImageWriter writer = nullptr;
    int damagedUnit = -1; // a strip or tile made unreadable
};

// A band at a time and decoded ahead on two or three threads, every copy
// gives the file the whole-image (or one-thread) copy gives, byte for byte:
// bands of several rows of tiles, bands that must also hold whole strips,
// partial edge tiles, and damaged tiles and strips, whose unreadable data
// leaves the buffers as the one-thread copy leaves them.
TEST(StreamedCopy, WritesTheBytesOfTheWholeImageCopyOnAnyNumberOfThreads) {
    const std::uint16_t contig = PLANARCONFIG_CONTIG;
    const TestPage rgbTiles = tiled(testPage(700, 650, 8, 3, contig, COMPRESSION_LZW), 64, 64);
    const TestPage planeTiles =
        tiled(testPage(700, 650, 8, 3, PLANARCONFIG_SEPARATE, COMPRESSION_LZW), 64, 64);
    const TestPage rgbStrips = testPage(700, 650, 8, 3, contig, COMPRESSION_LZW, 8);
    std::vector<StreamedCase> cases = {
        {"tiles to strips of 10 rows", rgbTiles, toStrips(COMPRESSION_PACKBITS, 10),
         readContigTiles, writeContigStrips},
        {"tiles to strips of the default height", rgbTiles, toStrips(COMPRESSION_NONE),
         readContigTiles, writeContigStrips},
        {"tiles to smaller tiles", rgbTiles, toTiles(COMPRESSION_LZW, 48, 32), readContigTiles,
         writeContigTiles},
        {"separate planes, tiles to tiles", planeTiles, toTiles(COMPRESSION_PACKBITS, 64, 64),
         readSeparateTiles, writeSeparateTiles},
        {"strips to tiles", rgbStrips, toTiles(COMPRESSION_LZW, 64, 64), readContigStrips,
         writeContigTiles},
        {"strips decoded ahead", rgbStrips, toStrips(COMPRESSION_PACKBITS)},
    };
    // Tile 77 starts the eighth row of tiles: the band after the band of the
    // tile the one-thread copy read just before.
    const std::pair<std::size_t, const char*> damaged[] = {
        {0, "tiles to strips, a damaged tile"},
        {2, "tiles to tiles, a damaged tile"},
        {4, "strips to tiles, a damaged strip"},
        {5, "strips decoded ahead, a damaged strip"}};
    for (const auto& [index, name] : damaged) {
        cases.push_back(cases[index]);
        cases.back().name = name;
        cases.back().damagedUnit = cases[index].input.tiled ? 77 : 20;
    }

    for (const StreamedCase& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        const std::filesystem::path input = dir.path() / "in.tif";
        writeTiff(input, c.input);
        if (c.damagedUnit >= 0)
            damageStrip(input, std::uint32_t(c.damagedUnit));
        const std::string reference =
            c.reader ? copiedWhole(input, dir.path() / "whole.tif", c.output, c.reader, c.writer)
                     : copiedBy(input, dir.path() / "one.tif", c.output, nullptr);
        for (int cores : {1, 2, 3}) {
            CoreBudget budget(cores);
            // Compared whole: a difference would print megabytes.
            EXPECT_TRUE(copiedBy(input, dir.path() / "out.tif", c.output, &budget) == reference)
                << cores << " cores";
        }
    }
}

// Pages of a multi-page file and of a merge, decoded (and encoded) ahead
// while the page before is written: the output and the report of the
// one-thread run, in every codec, also with a damaged strip, a merge input
// that is no TIFF and a page list.
TEST(StreamedCopy, PagesDecodedAheadGiveTheOutputAndReportOfTheOneThreadRun) {
    TempDir dir;
    TestPage grey = testPage(600, 400, 8, 1, PLANARCONFIG_CONTIG, COMPRESSION_LZW, 32);
    grey.pixels = patternPixels(grey);
    TestPage fax = faxPage(1728, 300);
    fax.rowsPerStrip = 64;
    fax.pixels = patternPixels(fax);
    for (const auto& [page, modes] :
         {std::pair{grey, std::vector{CompressionMode::PackBits, CompressionMode::Lzw,
                                      CompressionMode::Uncompressed, CompressionMode::Jpeg}},
          std::pair{fax, std::vector{CompressionMode::Group4, CompressionMode::Group3TwoDim,
                                     CompressionMode::Group3OneDimFill}}}) {
        writeTiff(dir.path() / "a.tif", {page, page, page, page});
        writeTiff(dir.path() / "b.tif", page);
        damageStrip(dir.path() / "b.tif", 2);
        writeTiff(dir.path() / "c.tif", {page, page});
        writeTextFile(dir.path() / "notes.tif", "not a tiff at all");
        const std::vector<std::string> merge = {dir.file("a.tif"),          dir.file("b.tif"),
                                                dir.file("notes.tif"),      dir.file("c.tif"),
                                                dir.file("a.tif") + ",2,0", dir.file("c.tif")};
        for (CompressionMode mode : modes)
            for (const std::vector<std::string>& inputs :
                 {std::vector<std::string>{dir.file("a.tif")}, merge}) {
                std::string outputs[2], reports[2];
                for (int run = 0; run < 2; ++run) {
                    ConversionOptions options;
                    options.compressionMode = mode;
                    options.threads = run == 0 ? 1 : 2;
                    ReportRecorder report;
                    convertFiles(int(inputs.size()), inputs, dir.file("out"), options, report);
                    outputs[run] = readTextFile(dir.path() / "out.tif");
                    reports[run] = report.lines;
                }
                EXPECT_FALSE(outputs[0].empty()) << int(mode);
                EXPECT_TRUE(outputs[1] == outputs[0]) << int(mode) << ", " << inputs.size();
                EXPECT_EQ(reports[1], reports[0]) << int(mode) << ", " << inputs.size();
            }
    }
}

} // namespace
} // namespace pagesmith::test
