// The conversion engine against tiffcp on the same inputs with equivalent
// options: a long Group 4 fax document, a large RGB photograph and a large
// tiled image. Prints wall time, the time ratio and peak memory of both;
// never fails on a figure.
//
//   engine-bench [--fax-pages N] [--repeat N] [--keep]
//
// Each conversion runs in a child process of its own, so that its peak
// resident memory (wait4) is its alone; the best of --repeat runs is shown.

#include "engine/ConvertFiles.h"
#include "inspect/ReportLines.h"
#include "support/ChildRun.h"
#include "support/ConvertOnce.h"
#include "tiff/TiffDiagnostics.h"
#include "tiff/TiffHandle.h"

#include <tiffio.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
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

struct Options {
    int faxPages = 200;
    int repeat = 3;
    bool keep = false;
};

// ---- Inputs -------------------------------------------------------------

std::uint32_t nextNoise(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// A fax page: margins, lines of word-like black runs, a rule now and then.
void faxRow(std::vector<std::uint8_t>& row, std::uint32_t width, std::uint32_t y, int page) {
    std::fill(row.begin(), row.end(), 0);
    const std::uint32_t line = (y + std::uint32_t(page) * 7) % 40;
    const bool rule = (y + std::uint32_t(page) * 97) % 700 == 0;
    if (y < 120 || y > 2080 || (!rule && line >= 24))
        return;
    std::uint32_t noise = 2166136261u ^ (y / 3) * 16777619u ^ std::uint32_t(page) * 7919u;
    for (std::uint32_t x = 100; x < width - 100;) {
        const std::uint32_t word = 20 + nextNoise(noise) % 90;
        for (std::uint32_t i = 0; i < word && x + i < width - 100; ++i)
            if (rule || ((x + i) / 3 + y / 4 + word) % 4 != 0) // glyph-like strokes
                row[(x + i) / 8] |= std::uint8_t(0x80 >> ((x + i) % 8));
        x += word + 15 + nextNoise(noise) % 25;
    }
}

bool writeFaxDocument(const std::string& path, int pages) {
    const std::uint32_t width = 1728, length = 2200;
    TiffHandle file(path, "w");
    if (!file)
        return false;
    std::vector<std::uint8_t> row(width / 8);
    for (int page = 0; page < pages; ++page) {
        TIFF* tif = file.get();
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 256u);
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, 204.0);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, 196.0);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tif, TIFFTAG_PAGENUMBER, page, pages);
        for (std::uint32_t y = 0; y < length; ++y) {
            faxRow(row, width, y, page);
            if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(tif))
            return false;
    }
    return true;
}

// A photograph-like RGB row: smooth gradients with grain.
void photoRow(std::vector<std::uint8_t>& row, std::uint32_t width, std::uint32_t y) {
    std::uint32_t noise = 2463534242u ^ y * 2654435761u;
    for (std::uint32_t x = 0; x < width; ++x) {
        const int grain = int(nextNoise(noise) & 7) - 4;
        const int r = int(60 + 150 * x / width + (y / 40) % 30) + grain;
        const int g = int(40 + (x / 3 + y / 2) % 160) + grain;
        const int b = int(200 - 120 * y / 8192 + (x / 50) % 20) + grain;
        row[std::size_t(x) * 3 + 0] = std::uint8_t(std::clamp(r, 0, 255));
        row[std::size_t(x) * 3 + 1] = std::uint8_t(std::clamp(g, 0, 255));
        row[std::size_t(x) * 3 + 2] = std::uint8_t(std::clamp(b, 0, 255));
    }
}

void startRgb(TIFF* tif, std::uint32_t width, std::uint32_t length) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
}

bool writePhoto(const std::string& path, std::uint32_t width, std::uint32_t length) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    startRgb(file.get(), width, length);
    TIFFSetField(file.get(), TIFFTAG_ROWSPERSTRIP, 16u);
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    for (std::uint32_t y = 0; y < length; ++y) {
        photoRow(row, width, y);
        if (TIFFWriteScanline(file.get(), row.data(), y, 0) < 0)
            return false;
    }
    return TIFFWriteDirectory(file.get()) != 0;
}

// Tiled, written band by band of tiles so that generating it holds one band.
bool writeTiled(const std::string& path, std::uint32_t size, std::uint32_t tile) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    startRgb(file.get(), size, size);
    TIFFSetField(file.get(), TIFFTAG_TILEWIDTH, tile);
    TIFFSetField(file.get(), TIFFTAG_TILELENGTH, tile);
    const std::size_t rowBytes = std::size_t(size) * 3;
    std::vector<std::uint8_t> band(rowBytes * tile);
    std::vector<std::uint8_t> row(rowBytes);
    std::vector<std::uint8_t> buffer(std::size_t(tile) * tile * 3);
    for (std::uint32_t y0 = 0; y0 < size; y0 += tile) {
        for (std::uint32_t r = 0; r < tile; ++r) {
            photoRow(row, size, y0 + r);
            std::copy(row.begin(), row.end(), band.begin() + std::ptrdiff_t(r * rowBytes));
        }
        for (std::uint32_t x0 = 0; x0 < size; x0 += tile) {
            for (std::uint32_t r = 0; r < tile; ++r)
                std::memcpy(buffer.data() + std::size_t(r) * tile * 3,
                            band.data() + r * rowBytes + std::size_t(x0) * 3,
                            std::size_t(tile) * 3);
            if (TIFFWriteTile(file.get(), buffer.data(), x0, y0, 0, 0) < 0)
                return false;
        }
    }
    return TIFFWriteDirectory(file.get()) != 0;
}

// ---- Checking the outputs -----------------------------------------------

struct OutputSummary {
    int pages = 0;
    std::uint16_t compression = 0;
    bool tiled = false;
    bool samePixels = true; // every page decodes to the input's samples
};

// Pages, compression and, for lossless outputs, a row-by-row comparison of
// every page's decoded samples with the input's.
OutputSummary inspect(const std::string& input, const std::string& output, bool lossless) {
    OutputSummary summary;
    TiffHandle in(input, "r");
    TiffHandle out(output, "r");
    if (!in || !out) {
        summary.samePixels = false;
        return summary;
    }
    do {
        ++summary.pages;
        TIFFGetField(out.get(), TIFFTAG_COMPRESSION, &summary.compression);
        summary.tiled = TIFFIsTiled(out.get());
        if (!lossless || summary.tiled || TIFFIsTiled(in.get()))
            continue;
        std::uint32_t length = 0;
        TIFFGetField(in.get(), TIFFTAG_IMAGELENGTH, &length);
        const tmsize_t size = TIFFScanlineSize(in.get());
        if (size != TIFFScanlineSize(out.get())) {
            summary.samePixels = false;
            continue;
        }
        std::vector<std::uint8_t> a(static_cast<std::size_t>(size)), b(a.size());
        for (std::uint32_t y = 0; y < length && summary.samePixels; ++y)
            summary.samePixels = TIFFReadScanline(in.get(), a.data(), y, 0) >= 0 &&
                                 TIFFReadScanline(out.get(), b.data(), y, 0) >= 0 && a == b;
    } while (TIFFReadDirectory(out.get()) && TIFFReadDirectory(in.get()));
    return summary;
}

// Tiled input against striped output: compares the whole image through the
// RGBA reader, which takes either layout.
bool sameRgba(const std::string& input, const std::string& output) {
    TiffHandle in(input, "r");
    TiffHandle out(output, "r");
    std::uint32_t width = 0, length = 0;
    if (!in || !out || !TIFFGetField(in.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(in.get(), TIFFTAG_IMAGELENGTH, &length))
        return false;
    std::vector<std::uint32_t> a(std::size_t(width) * length), b(a.size());
    return TIFFReadRGBAImage(in.get(), width, length, a.data(), 0) &&
           TIFFReadRGBAImage(out.get(), width, length, b.data(), 0) && a == b;
}

// ---- The runs -------------------------------------------------------------

struct Case {
    const char* name;
    std::string input;
    CompressionMode mode;
    int outputTiled;
    std::vector<std::string> tiffcpOptions;
    bool lossless;
    double stripKiB; // one input strip decoded (0: tiled input)
    double imageMiB; // one page decoded
};

void runCase(const Case& run, const fs::path& folder, const Options& options, long idleKiB) {
    const std::string self = selfPath("engine-bench");
    const std::string base = (folder / "engine").string();
    const std::string scratch = (folder / "tmptif.tbw").string();
    const std::string tiffcpOutput = (folder / "tiffcp.tif").string();

    const ChildRun engine =
        bestOf(options.repeat, {self, "--convert", run.input, base, std::to_string(int(run.mode)),
                                std::to_string(run.outputTiled), scratch});
    std::vector<std::string> tiffcpArguments = {"tiffcp"};
    tiffcpArguments.insert(tiffcpArguments.end(), run.tiffcpOptions.begin(),
                           run.tiffcpOptions.end());
    tiffcpArguments.push_back(run.input);
    tiffcpArguments.push_back(tiffcpOutput);
    fs::remove(tiffcpOutput);
    const ChildRun tiffcp = bestOf(options.repeat, tiffcpArguments);

    const std::string engineOutput = base + ".tif";
    OutputSummary engineSummary = inspect(run.input, engineOutput, run.lossless);
    const OutputSummary tiffcpSummary = inspect(run.input, tiffcpOutput, false);
    if (run.lossless && run.stripKiB == 0)
        engineSummary.samePixels = sameRgba(run.input, engineOutput);

    std::string flags;
    for (const std::string& option : run.tiffcpOptions)
        flags += " " + option;
    std::printf("\n%s (tiffcp%s)\n", run.name, flags.c_str());
    std::printf("  decoded page %.1f MiB, one input strip %s, input file %.1f MiB\n", run.imageMiB,
                run.stripKiB > 0 ? formatText("%.1f KiB", run.stripKiB).c_str() : "- (tiles)",
                double(fs::file_size(run.input)) / (1024.0 * 1024.0));
    // The engine reads its input; tiffcp maps it, and the pages it has read
    // stay resident: not counted as its working memory.
    const long inputKiB = long(fs::file_size(run.input) / 1024);
    auto working = [&](const ChildRun& side, bool mapsInput) {
        return mebibytes(side.peakKiB - idleKiB - (mapsInput ? inputKiB : 0));
    };
    std::printf("  %-8s %s %7.2f s  peak %7.1f MiB, working ~%.1f MiB  %d pages, "
                "compression %u%s%s\n",
                "engine", engine.ok ? "ok    " : "FAILED", engine.seconds,
                mebibytes(engine.peakKiB), working(engine, false), engineSummary.pages,
                engineSummary.compression, engineSummary.tiled ? ", tiled" : ", strips",
                run.lossless ? (engineSummary.samePixels ? ", pixels as the input"
                                                         : ", PIXELS DIFFER FROM THE INPUT")
                             : "");
    std::printf("  %-8s %s %7.2f s  peak %7.1f MiB, working ~%.1f MiB  %d pages, "
                "compression %u%s\n",
                "tiffcp", tiffcp.ok ? "ok    " : "FAILED", tiffcp.seconds,
                mebibytes(tiffcp.peakKiB), working(tiffcp, true), tiffcpSummary.pages,
                tiffcpSummary.compression, tiffcpSummary.tiled ? ", tiled" : ", strips");
    if (engine.ok && tiffcp.ok && tiffcp.seconds > 0)
        std::printf("  time ratio engine / tiffcp: %.2f (target: at most 1.10)\n",
                    engine.seconds / tiffcp.seconds);
    std::fflush(stdout);
}

int benchmark(const Options& options) {
    char pattern[] = "/tmp/pagesmith-engine-bench-XXXXXX";
    if (!mkdtemp(pattern)) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }
    const fs::path folder = pattern;
    const std::string fax = (folder / "fax.tif").string();
    const std::string photo = (folder / "photo.tif").string();
    const std::string tiled = (folder / "tiled.tif").string();

    std::printf("engine-bench: best of %d runs, each in a child process\n", options.repeat);
    std::printf("  generating inputs in %s ...\n", folder.c_str());
    std::fflush(stdout);
    if (!writeFaxDocument(fax, options.faxPages) || !writePhoto(photo, 6000, 4000) ||
        !writeTiled(tiled, 8192, 256)) {
        std::fprintf(stderr, "cannot write the inputs\n");
        fs::remove_all(folder);
        return 1;
    }
    const long idleKiB = runChild({selfPath("engine-bench"), "--idle"}).peakKiB;
    std::printf("  a process that only starts: peak %.1f MiB\n", mebibytes(idleKiB));
    std::printf("  working memory = peak - that start (tiffcp: also - the input file, which it\n"
                "  maps, so the pages it reads stay resident)\n");

    const std::string faxName = formatText("%d-page 1728x2200 Group 4 fax", options.faxPages);
    const double faxStripKiB = 1728.0 / 8 * 256 / 1024;
    const double faxPageMiB = 1728.0 / 8 * 2200 / (1024 * 1024);
    const double photoStripKiB = 6000.0 * 3 * 16 / 1024;
    const double photoMiB = 6000.0 * 4000 * 3 / (1024 * 1024);
    const double tiledMiB = 8192.0 * 8192 * 3 / (1024 * 1024);
    const std::string faxToLzw = "(a) " + faxName + " to LZW";
    const std::string faxToG3 = "(a) " + faxName + " to Group 3 2D";
    const Case runs[] = {
        {faxToLzw.c_str(),
         fax,
         CompressionMode::Lzw,
         -1,
         {"-c", "lzw"},
         true,
         faxStripKiB,
         faxPageMiB},
        {faxToG3.c_str(),
         fax,
         CompressionMode::Group3TwoDim,
         -1,
         {"-c", "g3:2d"},
         true,
         faxStripKiB,
         faxPageMiB},
        {"(b) 6000x4000 RGB LZW to JPEG",
         photo,
         CompressionMode::Jpeg,
         -1,
         {"-c", "jpeg"},
         false,
         photoStripKiB,
         photoMiB},
        {"(b) 6000x4000 RGB LZW to PackBits",
         photo,
         CompressionMode::PackBits,
         -1,
         {"-c", "packbits"},
         true,
         photoStripKiB,
         photoMiB},
        {"(c) 8192x8192 RGB LZW 256x256 tiles to LZW strips",
         tiled,
         CompressionMode::Lzw,
         0,
         {"-s", "-c", "lzw"},
         true,
         0,
         tiledMiB},
    };
    for (const Case& run : runs)
        runCase(run, folder, options, idleKiB);

    std::printf("\n  memory target: strip-to-strip conversions hold one strip, not the image;\n"
                "  tiles to strips hold the decoded image (both sides)\n");
    if (options.keep)
        std::printf("  files kept in %s\n", folder.c_str());
    else
        fs::remove_all(folder);
    return 0;
}

void usage(const char* program) {
    std::fprintf(stderr, "usage: %s [--fax-pages N] [--repeat N] [--keep]\n", program);
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0)
        return 0;
    if (argc == 7 && std::strcmp(argv[1], "--convert") == 0)
        return convertOnce(argv[2], argv[3], CompressionMode(std::atoi(argv[4])),
                           std::atoi(argv[5]), argv[6]);

    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0) {
            options.keep = true;
            continue;
        }
        const long value = i + 1 < argc ? std::strtol(argv[i + 1], nullptr, 10) : 0;
        if (std::strcmp(argv[i], "--fax-pages") == 0 && value > 0)
            options.faxPages = int(value);
        else if (std::strcmp(argv[i], "--repeat") == 0 && value > 0)
            options.repeat = int(value);
        else {
            usage(argv[0]);
            return 2;
        }
        ++i;
    }
    return benchmark(options);
}
