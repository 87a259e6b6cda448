// Colour document to Group 4: Pagesmith's grey reduction and dithering against
// the libtiff tools doing the same job (tiff2bw, tiffdither, tiffcp -c g4).
// Prints speed and peak memory of both; never fails on a figure.
//
//   fax-bench [--pages N] [--width W] [--length L] [--repeat N] [--keep]
//
// Each side runs in a child process of its own, so that its peak resident
// memory (wait4) is its alone.

#include "engine/fax/BilevelRoute.h"
#include "inspect/ReportLines.h"
#include "support/ChildRun.h"
#include "support/ConvertOnce.h"
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

struct Options {
    int pages = 20;
    std::uint32_t width = 2480; // A4 at 300 dpi
    std::uint32_t length = 3508;
    int repeats = 3;   // each side runs this often; the fastest run counts
    bool keep = false; // leave the generated files for a closer look
};

std::string pagePath(const fs::path& folder, const char* stem, int page) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-%02d.tif", stem, page);
    return (folder / name).string();
}

// The document as one multi-page file, and the same pages one per file for
// the tools, which read only a file's first page. Written row by row.
bool writeDocument(const fs::path& folder, const Options& options) {
    TiffHandle document((folder / "document.tif").string(), "w");
    if (!document)
        return false;
    std::vector<std::uint8_t> row(std::size_t(options.width) * 3);
    for (int page = 0; page < options.pages; ++page) {
        TiffHandle single(pagePath(folder, "page", page), "w");
        if (!single)
            return false;
        startLetterPage(document.get(), options.width, options.length, page, options.pages);
        startLetterPage(single.get(), options.width, options.length, page, options.pages);
        for (std::uint32_t y = 0; y < options.length; ++y) {
            letterRow(row, options.width, options.length, y, page);
            if (TIFFWriteScanline(document.get(), row.data(), y, 0) < 0 ||
                TIFFWriteScanline(single.get(), row.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(document.get()))
            return false;
    }
    return true;
}

// What a fax output holds: its pages, the size of its first page, and
// whether every page is a one-bit Group 4 page of that size.
struct FaxOutput {
    int pages = 0;
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    bool uniform = true;
};

FaxOutput inspectFaxOutput(const std::string& path) {
    FaxOutput output;
    TiffHandle file(path, "r");
    if (!file)
        return output;
    do {
        std::uint32_t width = 0, length = 0;
        std::uint16_t bits = 0, compression = 0;
        TIFFGetField(file.get(), TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(file.get(), TIFFTAG_IMAGELENGTH, &length);
        TIFFGetFieldDefaulted(file.get(), TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(file.get(), TIFFTAG_COMPRESSION, &compression);
        if (output.pages++ == 0) {
            output.width = width;
            output.length = length;
        }
        output.uniform = output.uniform && width == output.width && length == output.length &&
                         bits == 1 && compression == COMPRESSION_CCITTFAX4;
    } while (TIFFReadDirectory(file.get()));
    return output;
}

void printSide(const char* name, const ChildRun& run, const FaxOutput& output, int pages,
               const char* memoryNote) {
    std::printf("  %-9s %s %6.2f s %6.2f pages/s (cpu %5.2f s)  peak %6.1f MiB%s\n", name,
                run.ok ? "ok    " : "FAILED", run.seconds, pages / run.seconds, run.cpuSeconds,
                double(run.peakKiB) / 1024.0, memoryNote);
    std::printf("  %-9s output: %d pages of %ux%u%s\n", "", output.pages, output.width,
                output.length,
                output.uniform ? ", one-bit Group 4" : " (NOT all one-bit G4 alike)");
}

int benchmark(const Options& options) {
    TempFolder work("fax-bench");
    if (!work)
        return 1;
    const fs::path& folder = work.path();
    const std::string self = selfPath("fax-bench");

    std::printf("fax-bench: %d pages of %ux%u 8-bit RGB (LZW, 8 KiB strips) to Group 4\n",
                options.pages, options.width, options.length);
    std::printf("  generating in %s ...\n", folder.c_str());
    std::fflush(stdout);
    if (!writeDocument(folder, options)) {
        std::fprintf(stderr, "cannot write the test document\n");
        return 1;
    }

    // A process that only starts and ends: what either side costs before any page.
    const ChildRun idle = runChild({self, "--idle"});

    const std::string outputBase = (folder / "pagesmith").string();
    auto runOurs = [&] {
        return runChild({self, "--convert", (folder / "document.tif").string(), outputBase,
                         (folder / "tmptif.tbw").string()});
    };
    auto runTools = [&] {
        ChildRun tools;
        tools.ok = true;
        std::vector<std::string> merge = {"tiffcp", "-c", "g4"};
        for (int page = 0; page < options.pages && tools.ok; ++page) {
            tools.add(runChild(
                {"tiff2bw", pagePath(folder, "page", page), pagePath(folder, "grey", page)}));
            tools.add(runChild(
                {"tiffdither", pagePath(folder, "grey", page), pagePath(folder, "bw", page)}));
            merge.push_back(pagePath(folder, "bw", page));
        }
        merge.push_back((folder / "tools.tif").string());
        if (tools.ok)
            tools.add(runChild(merge));
        return tools;
    };
    // Others share the machine: the sides take turns, and each one's fastest
    // run counts.
    ChildRun ours, tools;
    for (int repeat = 0; repeat < options.repeats; ++repeat) {
        const ChildRun oursNow = runOurs();
        const ChildRun toolsNow = runTools();
        if (repeat == 0 || (oursNow.ok && oursNow.seconds < ours.seconds))
            ours = oursNow;
        if (repeat == 0 || (toolsNow.ok && toolsNow.seconds < tools.seconds))
            tools = toolsNow;
    }

    const ChildRun route =
        runChild({self, "--route", (folder / "document.tif").string(),
                  (folder / "route.tif").string(), (folder / "tmptif.tbw").string()});

    const FaxOutput oursOutput = inspectFaxOutput(outputBase + ".tif");
    const FaxOutput toolsOutput = inspectFaxOutput((folder / "tools.tif").string());
    const double pageMiB = double(options.width) * options.length * 3 / (1024.0 * 1024.0);
    const double rowKiB = double(options.width) * 3 / 1024.0;

    std::printf("  one RGB page decoded: %.1f MiB; one RGB row: %.1f KiB\n", pageMiB, rowKiB);
    std::printf("  a process that only starts: peak %.1f MiB\n", mebibytes(idle.peakKiB));
    const std::string overIdle =
        formatText(" (+%.1f MiB over a bare start)", mebibytes(ours.peakKiB - idle.peakKiB));
    printSide("pagesmith", ours, oursOutput, options.pages, overIdle.c_str());
    const FaxOutput routeOutput = inspectFaxOutput((folder / "route.tif").string());
    const std::string routeOverIdle =
        formatText(" (+%.1f MiB over a bare start)", mebibytes(route.peakKiB - idle.peakKiB));
    printSide("route", route, routeOutput, options.pages, routeOverIdle.c_str());
    std::printf("  %-9s the fax route alone, input read rather than mapped\n", "");
    printSide("tools", tools, toolsOutput, options.pages, " (largest step)");
    std::printf("  tools: tiff2bw (LZW grey), tiffdither (LZW), tiffcp -c g4, one process each\n");
    std::printf("  fastest of %d runs per side\n", options.repeats);
    if (ours.ok && tools.ok && tools.seconds > 0 && tools.cpuSeconds > 0)
        std::printf("  time ratio pagesmith / tools: %.2f wall, %.2f cpu (target: at most 0.80)\n",
                    ours.seconds / tools.seconds, ours.cpuSeconds / tools.cpuSeconds);
    std::printf("  memory target: a few scanlines plus the codec, far below one page\n");

    if (options.keep)
        work.keep();
    return 0;
}

// The fax route alone, page by page, with the input read rather than mapped:
// what the grey reduction and dithering hold, apart from how the driver opens
// its input (a mapped input counts in the resident set as it is read).
int routeChild(const char* input, const char* output, const char* scratch) {
    silenceTiffDiagnostics();
    TiffHandle in(input, "rm");
    TiffHandle out(output, "w");
    if (!in || !out)
        return 1;
    do {
        if (convertPageToBilevel(in.get(), out.get(), CompressionMode::Group4, scratch) !=
                BilevelOutcome::Dithered ||
            !TIFFWriteDirectory(out.get()))
            return 1;
    } while (TIFFReadDirectory(in.get()));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::strcmp(argv[1], "--idle") == 0)
        return 0;
    if (argc == 5 && std::strcmp(argv[1], "--convert") == 0)
        return convertOnce(argv[2], argv[3], CompressionMode::Group4, -1, argv[4]);
    if (argc == 5 && std::strcmp(argv[1], "--route") == 0)
        return routeChild(argv[2], argv[3], argv[4]);

    Options options;
    for (int i = 1; i < argc; i += 2) {
        if (std::strcmp(argv[i], "--keep") == 0) {
            options.keep = true;
            --i;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr,
                         "usage: %s [--pages N] [--width W] [--length L] [--repeat N] [--keep]\n",
                         argv[0]);
            return 2;
        }
        const long value = std::strtol(argv[i + 1], nullptr, 10);
        if (std::strcmp(argv[i], "--pages") == 0 && value > 0)
            options.pages = int(value);
        else if (std::strcmp(argv[i], "--width") == 0 && value > 0)
            options.width = std::uint32_t(value);
        else if (std::strcmp(argv[i], "--length") == 0 && value > 1)
            options.length = std::uint32_t(value);
        else if (std::strcmp(argv[i], "--repeat") == 0 && value > 0)
            options.repeats = int(value);
        else {
            std::fprintf(stderr,
                         "usage: %s [--pages N] [--width W] [--length L] [--repeat N] [--keep]\n",
                         argv[0]);
            return 2;
        }
    }
    return benchmark(options);
}
