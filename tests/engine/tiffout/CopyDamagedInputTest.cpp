#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

// Pages of every routine in Group 4, LZW and PackBits, 1, 8 and 16 bits.
std::vector<RoundTrip> everyLayout() {
    std::vector<RoundTrip> trips;
    for (const auto& batch : {onePagePerRoutine(300, 90, 1, 1, COMPRESSION_CCITTFAX4),
                              onePagePerRoutine(300, 90, 8, 3, COMPRESSION_LZW),
                              onePagePerRoutine(130, 90, 16, 3, COMPRESSION_PACKBITS)})
        trips.insert(trips.end(), batch.begin(), batch.end());
    return trips;
}

// The copy went through and every strip or tile of the output has data.
void expectWholeOutput(const CopyOutcome& outcome, const std::filesystem::path& path) {
    EXPECT_TRUE(outcome.copied);
    EXPECT_TRUE(outcome.directoryWritten);
    TiffHandle file = openPage(path);
    ASSERT_TRUE(file) << path;
    const std::uint32_t striles =
        TIFFIsTiled(file.get()) ? TIFFNumberOfTiles(file.get()) : TIFFNumberOfStrips(file.get());
    for (std::uint32_t i = 0; i < striles; ++i)
        EXPECT_GT(TIFFGetStrileByteCount(file.get(), i), 0u) << "strip or tile " << i;
}

TEST(CopyRoutines, WriteEveryStripOfInputsCutShortAtAnyPoint) {
    TempDir dir;
    for (const RoundTrip& trip : everyLayout()) {
        SCOPED_TRACE(trip.name);
        writeTiff(dir.path() / "whole.tif", trip.input);
        rewriteDirectoryFirst(dir.path() / "whole.tif", dir.path() / "first.tif");
        const std::vector<std::uint8_t> bytes = readBytes(dir.path() / "first.tif");
        int copiedCuts = 0;
        for (double fraction : {0.2, 0.4, 0.55, 0.7, 0.85, 0.97}) {
            SCOPED_TRACE(fraction);
            const auto cut = std::ptrdiff_t(double(bytes.size()) * fraction);
            writeBytes(dir.path() / "in.tif", {bytes.begin(), bytes.begin() + cut});
            if (!openPage(dir.path() / "in.tif"))
                continue; // cut inside the directory: nothing to copy
            expectWholeOutput(copyPage(dir.path() / "in.tif", dir.path() / "out.tif", trip.output),
                              dir.path() / "out.tif");
            ++copiedCuts;
        }
        EXPECT_GE(copiedCuts, 4) << "most cuts should leave the directory readable";
    }
}

TEST(CopyRoutines, SurviveFlippedBytesInTheStripsOfEveryLayout) {
    TempDir dir;
    for (const RoundTrip& trip : everyLayout()) {
        SCOPED_TRACE(trip.name);
        writeTiff(dir.path() / "whole.tif", trip.input);
        for (std::size_t step : {3u, 17u, 101u}) {
            rewriteDirectoryFirst(dir.path() / "whole.tif", dir.path() / "in.tif",
                                  [step](std::uint32_t, std::vector<std::uint8_t>& raw) {
                                      for (std::size_t i = step / 2; i < raw.size(); i += step)
                                          raw[i] ^= 0xA5;
                                  });
            expectWholeOutput(copyPage(dir.path() / "in.tif", dir.path() / "out.tif", trip.output),
                              dir.path() / "out.tif");
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
            const std::uint32_t last = (TIFFIsTiled(file.get()) ? TIFFNumberOfTiles(file.get())
                                                                : TIFFNumberOfStrips(file.get())) -
                                       1;
            first = TIFFGetStrileOffset(file.get(), 0);
            end = TIFFGetStrileOffset(file.get(), last) + TIFFGetStrileByteCount(file.get(), last);
        }
        ASSERT_LE(end, bytes.size());
        for (std::uint64_t i = first + 5; i < end; i += 37)
            bytes[i] ^= 0x5A;
        writeBytes(dir.path() / "in.tif", bytes);
        for (const OutputLayout& layout :
             {toStrips(COMPRESSION_LZW), toStrips(COMPRESSION_PACKBITS, 3),
              toTiles(COMPRESSION_NONE, 128, 64)})
            expectWholeOutput(copyPage(dir.path() / "in.tif", dir.path() / "out.tif", layout),
                              dir.path() / "out.tif");
    }
}

} // namespace
} // namespace pagesmith::test
