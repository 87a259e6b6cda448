// Grey A4 pages to Group 4 at 16 bits against the same pages at 8 bits: the
// 16-bit pages go through the reduction of their samples to 8 bits, the
// 8-bit ones straight into the dithering. Prints the time of both, the ratio
// (target: at most 1.5) and peak memory, for pages stored uncompressed and
// with LZW, on one thread and on every core; never fails on a figure.
//
//   depth-bench [--pages N] [--repeat N] [--keep]
//
// Each conversion runs in a child process of its own, so that its peak
// resident memory (wait4) is its alone; the sides take turns and each one's
// fastest run counts.

#include "engine/run/ConvertFiles.h"
#include "support/ChildRun.h"
#include "support/PageWriters.h"
#include "support/TempFolder.h"
#include "tiff/TiffDiagnostics.h"
#include "tiff/TiffHandle.h"

#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pagesmith;
using namespace pagesmith::bench;

namespace {

constexpr std::uint32_t kWidth = 2480; // A4 at 300 dpi
constexpr std::uint32_t kLength = 3508;

struct Options {
    int pages = 5;
    int repeats = 3;
    bool keep = false;
};

// The same grey letter pages at 8 and at 16 bits, in strips of the same rows.
// The 16-bit samples carry noise below the 8 bits that make them, as a
// scanner's do: v * 257 + n with n below 257 scales back to v exactly, so
// both files dither to the same one-bit pages.
bool writePages(const fs::path& eight, const fs::path& sixteen, int pages,
                std::uint16_t compression) {
    TiffHandle files[2] = {TiffHandle(eight.string(), "w"), TiffHandle(sixteen.string(), "w")};
    if (!files[0] || !files[1])
        return false;
    std::vector<std::uint8_t> rgb(std::size_t(kWidth) * 3), grey(kWidth);
    std::vector<std::uint16_t> deep(kWidth);
    std::uint32_t noise = 12345;
    for (int page = 0; page < pages; ++page) {
        for (int f = 0; f < 2; ++f) {
            TIFF* tif = files[f].get();
            TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
            TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kLength);
            TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, f == 0 ? 8 : 16);
            TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
            TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
            TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 8u);
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0);
            TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        }
        for (std::uint32_t y = 0; y < kLength; ++y) {
            letterRow(rgb, kWidth, kLength, y, page);
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                const unsigned r = rgb[x * 3], g = rgb[x * 3 + 1], b = rgb[x * 3 + 2];
                grey[x] = std::uint8_t((77 * r + 151 * g + 29 * b) >> 8);
                deep[x] = std::uint16_t(grey[x] * 257 + (nextNoise(noise) & 0xFF));
            }
            if (TIFFWriteScanline(files[0].get(), grey.data(), y, 0) < 0 ||
                TIFFWriteScanline(files[1].get(), deep.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(files[0].get()) || !TIFFWriteDirectory(files[1].get()))
            return false;
    }
    return true;
}

// Whether two fax outputs hold the same one-bit pages.
bool sameBits(const fs::path& a, const fs::path& b) {
    TiffHandle left(a.string(), "r"), right(b.string(), "r");
    if (!left || !right)
        return false;
    do {
        std::uint32_t length = 0, otherLength = 0;
        TIFFGetField(left.get(), TIFFTAG_IMAGELENGTH, &length);
        TIFFGetField(right.get(), TIFFTAG_IMAGELENGTH, &otherLength);
        const tmsize_t size = TIFFScanlineSize(left.get());
        if (length != otherLength || size != TIFFScanlineSize(right.get()))
            return false;
        std::vector<std::uint8_t> x(static_cast<std::size_t>(size)), y(x.size());
        for (std::uint32_t row = 0; row < length; ++row)
            if (TIFFReadScanline(left.get(), x.data(), row, 0) < 0 ||
                TIFFReadScanline(right.get(), y.data(), row, 0) < 0 || x != y)
                return false;
    } while (TIFFReadDirectory(left.get()) && TIFFReadDirectory(right.get()));
    return true;
}

int convertChild(const char* input, const char* outputBase, const char* threads) {
    silenceTiffDiagnostics();
    ConversionOptions options;
    options.compressionMode = CompressionMode::Group4;
    options.keepName = 1;
    options.threads = std::atoi(threads);
    options.tempFile = std::string(outputBase) + ".tbw";
    class Quiet : public ProgressReport {
    public:
        void addLine(const ReportLine&) override {}
        void showError(const std::string&, const std::string&) override {}
        void noteFailure() override { failed = true; }
        bool failed = false;
    } report;
    return convertFiles(1, {std::string(input)}, outputBase, options, report) ==
                       ConvertResult::Done &&
                   !report.failed
               ? 0
               : 1;
}

void compare(const char* what, const std::string& self, const fs::path& folder, int threads,
             const Options& options) {
    const auto run = [&](const char* name) {
        return runChild({self, "--convert", (folder / (std::string(name) + ".tif")).string(),
                         (folder / (std::string(name) + "-g4")).string(), std::to_string(threads)});
    };
    ChildRun eight, sixteen;
    for (int repeat = 0; repeat < options.repeats; ++repeat) {
        const ChildRun eightNow = run("grey8");
        const ChildRun sixteenNow = run("grey16");
        if (repeat == 0 || (eightNow.ok && eightNow.seconds < eight.seconds))
            eight = eightNow;
        if (repeat == 0 || (sixteenNow.ok && sixteenNow.seconds < sixteen.seconds))
            sixteen = sixteenNow;
    }
    std::printf("  %s\n", what);
    for (const auto& [name, side] : {std::pair{"8-bit", eight}, std::pair{"16-bit", sixteen}})
        std::printf("    %-7s %s %6.2f s %6.2f pages/s (cpu %5.2f s)  peak %6.1f MiB\n", name,
                    side.ok ? "ok    " : "FAILED", side.seconds, options.pages / side.seconds,
                    side.cpuSeconds, mebibytes(side.peakKiB));
    if (eight.ok && sixteen.ok && eight.seconds > 0)
        std::printf("    time ratio 16-bit / 8-bit: %.2f wall, %.2f cpu (target: at most 1.50)\n",
                    sixteen.seconds / eight.seconds, sixteen.cpuSeconds / eight.cpuSeconds);
    std::printf("    same one-bit pages: %s\n",
                sameBits(folder / "grey8-g4.tif", folder / "grey16-g4.tif") ? "yes" : "NO");
}

int benchmark(const Options& options) {
    TempFolder work("depth-bench");
    if (!work)
        return 1;
    const fs::path& folder = work.path();
    const std::string self = selfPath("depth-bench");
    std::printf("depth-bench: %d grey A4 pages (%ux%u, strips of 8 rows) to Group 4, 16-bit "
                "against 8-bit\n",
                options.pages, kWidth, kLength);
    for (const auto& [name, compression] :
         {std::pair{"uncompressed", COMPRESSION_NONE}, std::pair{"LZW", COMPRESSION_LZW}}) {
        std::printf(" %s pages\n", name);
        std::fflush(stdout);
        if (!writePages(folder / "grey8.tif", folder / "grey16.tif", options.pages,
                        std::uint16_t(compression))) {
            std::fprintf(stderr, "cannot write the test pages\n");
            return 1;
        }
        compare("one thread (PAGESMITH_THREADS=1)", self, folder, 1, options);
        compare("every core", self, folder, 0, options);
    }
    std::printf("  fastest of %d runs per side\n", options.repeats);
    if (options.keep)
        work.keep();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--convert") == 0)
        return convertChild(argv[2], argv[3], argv[4]);
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0) {
            options.keep = true;
            continue;
        }
        const long value = i + 1 < argc ? std::strtol(argv[i + 1], nullptr, 10) : 0;
        if (std::strcmp(argv[i], "--pages") == 0 && value > 0)
            options.pages = int(value);
        else if (std::strcmp(argv[i], "--repeat") == 0 && value > 0)
            options.repeats = int(value);
        else {
            std::fprintf(stderr, "usage: %s [--pages N] [--repeat N] [--keep]\n", argv[0]);
            return 2;
        }
        ++i;
    }
    return benchmark(options);
}
