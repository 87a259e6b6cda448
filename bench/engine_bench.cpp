// The conversion engine against tiffcp on the same inputs with equivalent
// options: a long Group 4 fax document, a large RGB photograph and a large
// tiled image. Prints wall time, the time ratio and peak memory of both;
// never fails on a figure.
//
//   engine-bench [--fax-pages N] [--repeat N] [--keep]
//
// Each conversion runs in a child process of its own, so that its peak
// resident memory (wait4) is its alone; the best of --repeat runs is shown.

#include "inspect/ReportLines.h"
#include "support/ChildRun.h"
#include "support/ConvertOnce.h"
#include "support/PageWriters.h"
#include "support/TempFolder.h"
#include "tiff/TiffHandle.h"

#include <tiffio.h>

#include <algorithm>
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
    TempFolder work("engine-bench");
    if (!work)
        return 1;
    const fs::path& folder = work.path();
    const std::string fax = (folder / "fax.tif").string();
    const std::string photo = (folder / "photo.tif").string();
    const std::string tiled = (folder / "tiled.tif").string();
    const std::string photoStrip = (folder / "photo-one-strip.tif").string();
    const std::string jpegStrip = (folder / "jpeg-one-strip.tif").string();

    std::printf("engine-bench: best of %d runs, each in a child process\n", options.repeat);
    std::printf("  generating inputs in %s ...\n", folder.c_str());
    std::fflush(stdout);
    if (!writeFaxFile(fax, documentFaxRow, options.faxPages, 256) ||
        !writePhoto(photo, 6000, 4000) || !writeTiledPhoto(tiled, 8192, 256) ||
        !writePhoto(photoStrip, 6000, 4000, 4000) ||
        !writePhoto(jpegStrip, 6000, 4000, 4000, COMPRESSION_JPEG)) {
        std::fprintf(stderr, "cannot write the inputs\n");
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
        // A large page stored as one strip: JPEG output writes as it
        // goes, a row at a time; only the input's one compressed strip,
        // which libtiff reads whole, is held.
        {"(d) 6000x4000 RGB LZW, one strip, to JPEG",
         photoStrip,
         CompressionMode::Jpeg,
         -1,
         {"-c", "jpeg"},
         false,
         photoMiB * 1024,
         photoMiB},
        {"(d) 6000x4000 JPEG YCbCr, one strip, to JPEG",
         jpegStrip,
         CompressionMode::Jpeg,
         -1,
         {"-c", "jpeg"},
         false,
         photoMiB * 1024,
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
                "  tiles to strips a band of tiles (tiffcp holds the decoded image)\n");
    if (options.keep)
        work.keep();
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
