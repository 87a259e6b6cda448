#include "CopyTestSupport.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

// The layouts a page can come in, each with an output the engine could give it.
struct Conversion {
    const char* name;
    PageSpec input;
    OutputLayout output;
};

PageSpec page(std::uint16_t bits, std::uint16_t spp, std::uint16_t planar,
              std::uint16_t compression, bool isTiled) {
    PageSpec spec;
    spec.width = 300;
    spec.length = 90;
    spec.bitsPerSample = bits;
    spec.samplesPerPixel = spp;
    spec.photometric = bits == 1  ? PHOTOMETRIC_MINISWHITE
                       : spp == 3 ? PHOTOMETRIC_RGB
                                  : PHOTOMETRIC_MINISBLACK;
    spec.planar = planar;
    spec.compression = compression;
    spec.rowsPerStrip = 16;
    spec.tiled = isTiled;
    spec.tileWidth = 256;
    spec.tileLength = 32;
    return spec;
}

OutputLayout output(std::uint16_t compression, bool isTiled, std::uint32_t rowsPerStrip = 0) {
    OutputLayout layout;
    layout.compression = compression;
    layout.tiled = isTiled;
    layout.rowsPerStrip = rowsPerStrip;
    layout.tileWidth = 128;
    layout.tileLength = 64;
    return layout;
}

std::vector<Conversion> everyLayout() {
    const std::uint16_t contig = PLANARCONFIG_CONTIG;
    const std::uint16_t separate = PLANARCONFIG_SEPARATE;
    return {
        {"Group 4 strips, same height", page(1, 1, contig, COMPRESSION_CCITTFAX4, false),
         output(COMPRESSION_LZW, false)},
        {"Group 4 strips, other height", page(1, 1, contig, COMPRESSION_CCITTFAX4, false),
         output(COMPRESSION_CCITTFAX3, false, 10)},
        {"LZW RGB strips, same height", page(8, 3, contig, COMPRESSION_LZW, false),
         output(COMPRESSION_PACKBITS, false)},
        {"LZW RGB strips to tiles", page(8, 3, contig, COMPRESSION_LZW, false),
         output(COMPRESSION_LZW, true)},
        {"PackBits separate strips", page(8, 3, separate, COMPRESSION_PACKBITS, false),
         output(COMPRESSION_LZW, false, 7)},
        {"LZW separate strips to tiles", page(16, 3, separate, COMPRESSION_LZW, false),
         output(COMPRESSION_NONE, true)},
        {"LZW tiles to strips", page(8, 3, contig, COMPRESSION_LZW, true),
         output(COMPRESSION_PACKBITS, false, 16)},
        {"Group 4 tiles to tiles", page(1, 1, contig, COMPRESSION_CCITTFAX4, true),
         output(COMPRESSION_CCITTFAX4, true)},
        {"PackBits separate tiles to strips", page(8, 3, separate, COMPRESSION_PACKBITS, true),
         output(COMPRESSION_LZW, false, 16)},
        {"LZW separate tiles to tiles", page(16, 3, separate, COMPRESSION_LZW, true),
         output(COMPRESSION_LZW, true)},
    };
}

// Every strip or tile the output's directory lists has data.
void expectEveryStrileWritten(const std::filesystem::path& path) {
    TiffHandle file = openPage(path);
    ASSERT_TRUE(file) << path;
    const std::uint32_t striles =
        TIFFIsTiled(file.get()) ? TIFFNumberOfTiles(file.get()) : TIFFNumberOfStrips(file.get());
    for (std::uint32_t i = 0; i < striles; ++i)
        EXPECT_GT(TIFFGetStrileByteCount(file.get(), i), 0u) << "strip or tile " << i;
}

TEST(CopyRoutines, WriteEveryStripOfInputsCutShortAtAnyPoint) {
    TempDir dir;
    for (const Conversion& conversion : everyLayout()) {
        SCOPED_TRACE(conversion.name);
        writeTiff(dir.path() / "whole.tif", conversion.input);
        rewriteDirectoryFirst(dir.path() / "whole.tif", dir.path() / "first.tif");
        const std::vector<std::uint8_t> bytes = readBytes(dir.path() / "first.tif");
        int copiedCuts = 0;
        for (double fraction : {0.2, 0.4, 0.55, 0.7, 0.85, 0.97}) {
            SCOPED_TRACE(fraction);
            const std::size_t cut = static_cast<std::size_t>(double(bytes.size()) * fraction);
            writeBytes(dir.path() / "in.tif",
                       std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + cut));
            if (!openPage(dir.path() / "in.tif"))
                continue; // cut inside the directory: nothing to copy
            const CopyOutcome outcome =
                copyPage(dir.path() / "in.tif", dir.path() / "out.tif", conversion.output);
            EXPECT_NE(outcome.routine, nullptr);
            EXPECT_TRUE(outcome.copied);
            EXPECT_TRUE(outcome.directoryWritten);
            expectEveryStrileWritten(dir.path() / "out.tif");
            ++copiedCuts;
        }
        EXPECT_GE(copiedCuts, 4) << "most cuts should leave the directory readable";
    }
}

TEST(CopyRoutines, SurviveFlippedBytesInTheStripsOfEveryLayout) {
    TempDir dir;
    for (const Conversion& conversion : everyLayout()) {
        SCOPED_TRACE(conversion.name);
        writeTiff(dir.path() / "whole.tif", conversion.input);
        for (std::size_t step : {3u, 17u, 101u}) {
            rewriteDirectoryFirst(dir.path() / "whole.tif", dir.path() / "in.tif",
                                  [step](std::uint32_t, std::vector<std::uint8_t>& raw) {
                                      for (std::size_t i = step / 2; i < raw.size(); i += step)
                                          raw[i] ^= 0xA5;
                                  });
            const CopyOutcome outcome =
                copyPage(dir.path() / "in.tif", dir.path() / "out.tif", conversion.output);
            EXPECT_TRUE(outcome.copied);
            EXPECT_TRUE(outcome.directoryWritten);
            expectEveryStrileWritten(dir.path() / "out.tif");
        }
    }
}

TEST(CopyRoutines, SurviveFlippedBytesInTheStripsOfFilesFromOtherPrograms) {
    const std::filesystem::path shared = sharedTestData();
    if (shared.empty())
        GTEST_SKIP() << "no shared test files in this checkout";
    TempDir dir;
    for (const char* name : {"G4.TIF", "fax2d.tif", "g3test.tif", "quad-lzw-compat.tiff",
                             "rgb-3c-16b.tiff", "quad-tile.jpg.tiff", "palette-1c-4b.tiff"}) {
        SCOPED_TRACE(name);
        std::vector<std::uint8_t> bytes = readBytes(shared / name);
        std::uint64_t first = 0, end = 0;
        {
            TiffHandle file = openPage(shared / name);
            ASSERT_TRUE(file);
            const std::uint32_t striles = TIFFIsTiled(file.get()) ? TIFFNumberOfTiles(file.get())
                                                                  : TIFFNumberOfStrips(file.get());
            first = TIFFGetStrileOffset(file.get(), 0);
            end = TIFFGetStrileOffset(file.get(), striles - 1) +
                  TIFFGetStrileByteCount(file.get(), striles - 1);
        }
        ASSERT_LE(end, bytes.size());
        for (std::uint64_t i = first + 5; i < end; i += 37)
            bytes[i] ^= 0x5A;
        writeBytes(dir.path() / "in.tif", bytes);
        for (const OutputLayout& layout :
             {output(COMPRESSION_LZW, false), output(COMPRESSION_PACKBITS, false, 3),
              output(COMPRESSION_NONE, true)}) {
            const CopyOutcome outcome =
                copyPage(dir.path() / "in.tif", dir.path() / "out.tif", layout);
            EXPECT_TRUE(outcome.copied);
            EXPECT_TRUE(outcome.directoryWritten);
        }
    }
}

} // namespace
} // namespace pagesmith::test
