// The page preview's first view of three pages, beside libtiff's tiff2rgba
// of the same page: an A4 fax (Group 4, one strip), an 8192 x 8192 tiled LZW
// colour page and a 6000 x 4000 RGB photograph (LZW, strips of 16 rows).
// Ours draws the page fitted into a pane of the size a 1920 x 1080 window
// gives it, in this process (median of --runs, and the first run alone);
// tiff2rgba decodes the whole page to RGBA and writes it uncompressed, as a
// process of its own. Peak memory is each side's own child process; ours
// less that of a child that draws nothing. It never fails on a figure.
//
//   preview-bench [--runs N] [--keep]

#include "engine/preview/PagePicture.h"
#include "support/ChildRun.h"
#include "support/PageWriters.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

using namespace pagesmith;
using namespace pagesmith::bench;

namespace {

// The pane of a 1920 x 1080 window with the preview at a third of the list's width.
constexpr std::uint32_t kPaneWidth = 520;
constexpr std::uint32_t kPaneLength = 740;

PictureRequest fitted(const std::string& path) {
    PictureRequest request;
    request.path = path;
    request.view.width = kPaneWidth;
    request.view.length = kPaneLength;
    request.view.zoom = PreviewZoom::Fit;
    return request;
}

// Wall seconds; `cpuSeconds` (all threads of the process) beside them, as
// the wall time on a busy machine says little of the work.
double drawOnce(const std::string& path, bool* ok, double* cpuSeconds = nullptr) {
    const std::atomic<bool> stop{false};
    const std::clock_t cpuStart = std::clock();
    const auto start = std::chrono::steady_clock::now();
    const PagePicture picture = drawPagePicture(fitted(path), stop);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    if (cpuSeconds)
        *cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    *ok = picture.failure.empty() && !picture.pixels.empty();
    return took.count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Page {
    const char* name;
    std::string path;
    double targetMs;
};

} // namespace

int main(int argc, char** argv) {
    // A child that draws one page (or, with "-", nothing), for its peak memory.
    if (argc == 3 && std::strcmp(argv[1], "--draw") == 0) {
        bool ok = true;
        if (std::strcmp(argv[2], "-") != 0)
            drawOnce(argv[2], &ok);
        return ok ? 0 : 1;
    }
    int runs = 7;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0)
            keep = true;
        else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
    }

    TempFolder folder("preview-bench");
    if (!folder)
        return 1;
    if (keep)
        folder.keep();
    const std::string self = selfPath("preview-bench");
    const auto file = [&](const char* name) { return (folder.path() / name).string(); };
    std::vector<Page> pages = {
        {"A4 fax 1728x2200 G4", file("fax.tif"), 50},
        {"8192x8192 tiled LZW", file("tiled.tif"), 300},
        {"6000x4000 RGB LZW", file("photo.tif"), 250},
    };
    if (!writeFaxFile(pages[0].path, documentFaxRow, 1, kFaxLength) ||
        !writeTiledPhoto(pages[1].path, 8192, 256) || !writePhoto(pages[2].path, 6000, 4000, 16)) {
        std::fputs("preview-bench: cannot write the pages\n", stderr);
        return 1;
    }

    const ChildRun idle = bestOf(1, {self, "--draw", "-"});
    std::printf("First view fitted into %ux%u, %d runs; tiff2rgba -c none of the same page.\n",
                kPaneWidth, kPaneLength, runs);
    std::printf("%-22s %9s %9s %6s %8s %12s %9s %12s %s\n", "page", "first ms", "median", "target",
                "cpu ms", "tiff2rgba ms", "ratio", "extra MiB", "tiff2rgba MiB");
    for (const Page& page : pages) {
        std::vector<double> ours;
        std::vector<double> cpu;
        std::vector<double> theirs;
        bool ok = true;
        for (int run = 0; run < runs && ok; ++run) {
            double cpuSeconds = 0;
            ours.push_back(drawOnce(page.path, &ok, &cpuSeconds) * 1000);
            cpu.push_back(cpuSeconds * 1000);
            const ChildRun tool =
                runChild({"tiff2rgba", "-c", "none", page.path, file("rgba.tif")});
            ok = ok && tool.ok;
            theirs.push_back(tool.seconds * 1000);
        }
        if (!ok) {
            std::printf("%-22s failed\n", page.name);
            continue;
        }
        const ChildRun drawn = bestOf(1, {self, "--draw", page.path});
        const ChildRun tool = bestOf(1, {"tiff2rgba", "-c", "none", page.path, file("rgba.tif")});
        const double oursMedian = median(ours);
        const double theirsMedian = median(theirs);
        std::printf("%-22s %9.1f %9.1f %5.0f%s %8.1f %12.1f %9.2f %12.1f %12.1f\n", page.name,
                    ours[0], oursMedian, page.targetMs, oursMedian <= page.targetMs ? " " : "!",
                    median(cpu), theirsMedian, oursMedian / theirsMedian,
                    mebibytes(drawn.peakKiB - idle.peakKiB), mebibytes(tool.peakKiB));
    }
    std::puts("(! marks a median over its target; the ratio is ours over tiff2rgba's)");
    return 0;
}
