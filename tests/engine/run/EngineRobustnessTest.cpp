#include "engine/run/ConvertFiles.h"
#include "support/Codes.h"
#include "support/Recorders.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;

bool isLossless(CompressionMode mode) {
    return mode == CompressionMode::Uncompressed || mode == CompressionMode::PackBits ||
           mode == CompressionMode::Lzw;
}
bool isFax(CompressionMode mode) {
    return isBilevelCompression(compressionModeInfo(mode)->compression);
}

// Log-encoded HDR pages are carried as their codec decodes them, which only
// that codec reads back.
bool isLogLuv(const std::string& path) {
    const TiffHandle file(path, "r");
    std::uint16_t photometric = 0;
    return file && TIFFGetField(file.get(), TIFFTAG_PHOTOMETRIC, &photometric) &&
           (photometric == PHOTOMETRIC_LOGLUV || photometric == PHOTOMETRIC_LOGL);
}

int countOf(const std::string& text, const std::string& what) {
    int count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

class EngineOnRealFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (test::sharedTestData().empty())
            GTEST_SKIP() << "no shared test files here";
    }
    TempDir dir;
};

// Every real file in every mode: lossless outputs hold the same pixels, fax
// outputs hold one-bit pages or say why not, JPEG outputs decode.
TEST_F(EngineOnRealFiles, ConvertsEveryFileInEveryMode) {
    for (const auto& entry : std::filesystem::directory_iterator(test::sharedTestData())) {
        const std::string input = entry.path().string();
        if (entry.path().extension() == ".md")
            continue;
        const int inputPages = test::countPages(input);
        ASSERT_GT(inputPages, 0) << input;
        for (const CompressionMode mode : kEveryCompressionMode) {
            SCOPED_TRACE(input + " in mode " + std::to_string(int(mode)));
            ConversionOptions options;
            options.compressionMode = mode;
            options.tempFile = dir.file("scratch.tbw");
            const std::string out = dir.file("out");
            std::filesystem::remove(out + ".tif"); // a run that writes nothing leaves it alone
            test::ReportRecorder report;
            const ConvertResult result = convertFiles(1, {input}, out, options, report);
            ASSERT_TRUE(result == ConvertResult::Done || result == ConvertResult::NoPageWritten)
                << int(result);
            // A run that wrote no page says so last and leaves no file.
            std::string lines = report.lines;
            const std::string noPage = "  -- Failed: no page written to " + out + ".tif\r\n";
            EXPECT_EQ(result == ConvertResult::NoPageWritten, lines.ends_with(noPage)) << lines;
            if (result == ConvertResult::NoPageWritten) {
                EXPECT_FALSE(std::filesystem::exists(out + ".tif"));
                lines.resize(lines.size() - noPage.size());
            }
            const int succeeded = countOf(lines, " success\r\n");
            const int failed = countOf(lines, " failed\r\n");
            const int outputPages = std::max(test::countPages(out + ".tif"), 0);
            // Every page has its line, and only the pages that went through
            // are in the output.
            EXPECT_EQ(succeeded + failed, inputPages) << lines;
            EXPECT_EQ(outputPages, succeeded) << lines;
            if (isFax(mode)) {
                // Every page goes to fax; one that cannot (a page of one row)
                // gives its reason on the line before its failed line.
                EXPECT_EQ(lines.find("B&W"), std::string::npos) << lines;
                for (std::size_t at = lines.find(" failed\r\n"); at != std::string::npos;
                     at = lines.find(" failed\r\n", at + 1)) {
                    const std::size_t lineStart = lines.rfind("\r\n", at) + 2;
                    const std::size_t reasonStart = lines.rfind("\r\n", lineStart - 3) + 2;
                    EXPECT_TRUE(lines.compare(reasonStart, 5, "  -- ") == 0 &&
                                lines.compare(reasonStart, 10, "  -- Page ") != 0)
                        << lines;
                }
                for (int page = 0; page < outputPages; ++page)
                    EXPECT_EQ(test::readPage(out + ".tif", page).bitsPerSample, 1);
                continue;
            }
            if (failed > 0)
                continue; // the pages written are no longer at their input's places
            if (isLogLuv(input))
                continue;
            for (int page = 0; page < succeeded; ++page) {
                const auto written = test::readRgba(out + ".tif", page);
                ASSERT_FALSE(written.empty());
                if (isLossless(mode)) {
                    EXPECT_EQ(written, test::readRgba(input, page)) << "page " << page;
                }
            }
        }
    }
}

// Files cut short or with flipped bytes go through every mode without a
// crash or a memory error (this runs under the sanitizers too).
class DamagedFiles : public ::testing::Test {
protected:
    std::vector<std::string> sources() {
        TestPage fax = test::faxPage(200, 120);
        fax.rowsPerStrip = 40;
        TestPage rgb = test::rgbPage(90, 70);
        rgb.rowsPerStrip = 16;
        TestPage tiled = rgb;
        tiled.tiled = true;
        tiled.compression = COMPRESSION_PACKBITS;
        TestPage planes = rgb;
        planes.planar = PLANARCONFIG_SEPARATE;
        planes.compression = COMPRESSION_NONE;
        TestPage grey = rgb;
        grey.samplesPerPixel = 1;
        grey.photometric = PHOTOMETRIC_MINISBLACK;
        grey.compression = COMPRESSION_JPEG;
        std::vector<std::string> files;
        const std::vector<std::pair<std::string, std::vector<TestPage>>> kinds = {
            {"fax.tif", {fax, fax}},  {"rgb.tif", {rgb}},   {"tiled.tif", {tiled}},
            {"planes.tif", {planes}}, {"grey.tif", {grey}},
        };
        for (const auto& [name, pages] : kinds) {
            files.push_back(dir.file(name));
            test::writeTiff(files.back(), pages);
        }
        if (!test::sharedTestData().empty())
            for (const char* name : {"zackthecat.tif", "quad-jpeg.tif", "palette-1c-8b.tiff"})
                files.push_back((test::sharedTestData() / name).string());
        return files;
    }

    void convertInEveryMode(const std::string& input) {
        for (const CompressionMode mode : kEveryCompressionMode) {
            ConversionOptions options;
            options.compressionMode = mode;
            options.tempFile = dir.file("scratch.tbw");
            test::ReportRecorder report;
            const ConvertResult result =
                convertFiles(1, {input}, dir.file("damaged-out"), options, report);
            EXPECT_TRUE(result == ConvertResult::Done || result == ConvertResult::NoPageWritten ||
                        result == ConvertResult::OutputUnusable)
                << input;
            // Whatever happened, no temporary output stays behind.
            for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
                EXPECT_EQ(entry.path().string().find(".partial-"), std::string::npos);
        }
    }

    TempDir dir;
};

TEST_F(DamagedFiles, TruncatedFilesNeverCrashTheEngine) {
    for (const std::string& source : sources()) {
        const std::string bytes = test::readTextFile(source);
        for (const double share : {0.1, 0.35, 0.6, 0.85, 0.97}) {
            const std::string cut = dir.file("cut.tif");
            test::writeTextFile(cut, bytes.substr(0, std::size_t(bytes.size() * share)));
            convertInEveryMode(cut);
        }
    }
}

TEST_F(DamagedFiles, FlippedBytesNeverCrashTheEngine) {
    for (const std::string& source : sources()) {
        const std::string bytes = test::readTextFile(source);
        for (std::size_t step = 0; step < 24; ++step) {
            std::string damaged = bytes;
            // Spread over the file: pixel data, then the directory at the end.
            const std::size_t at = 8 + (damaged.size() - 9) * step / 23;
            damaged[at] = char(damaged[at] ^ (step % 2 ? 0xFF : 0x5A));
            if (at + 1 < damaged.size())
                damaged[at + 1] = char(0xFF);
            const std::string flipped = dir.file("flipped.tif");
            test::writeTextFile(flipped, damaged);
            convertInEveryMode(flipped);
        }
    }
}

} // namespace
} // namespace pagesmith
