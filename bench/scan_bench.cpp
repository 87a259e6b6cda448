// The folder scan against its floor: a loop that only opens and closes every
// file of the folder with libtiff. Prints files per second and the ratio to
// the floor; never fails on a figure.
//
//   scan-bench [--files N] [--repeat N] [--keep]
//
// The folder is generated once: small TIFF files of several compressions
// (some with two pages) mixed with files that are not TIFF. Every run reads it
// from a warm cache, so the figures compare the work per file, not the disk.

#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "support/MixedFolder.h"
#include "support/TempFolder.h"
#include "tiff/TiffDiagnostics.h"
#include "tiff/TiffHandle.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace pagesmith;
using namespace pagesmith::bench;

namespace {

// The floor: list the folder and open and close each entry with libtiff.
int openEveryFile(const std::string& folder) {
    int opened = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (TIFF* tif = TIFFOpen(entry.path().c_str(), "r")) {
            ++opened;
            TIFFClose(tif);
        }
    }
    return opened;
}

std::size_t scanWith(const std::string& folder, CompressionFilter filter) {
    BatchRequest request;
    request.sourceFolder = folder;
    scanFolder(request, folder, 0, filter);
    return request.fileNames.size();
}

} // namespace

int main(int argc, char** argv) {
    FolderBenchOptions options;
    if (!parseFolderBenchOptions(argc, argv, "scan-bench", options))
        return 2;
    silenceTiffDiagnostics();

    bench::TempFolder work("scan-bench");
    if (!work)
        return 1;
    const std::string folder = work.path().string();
    std::printf("generating %d files in %s\n", options.files, folder.c_str());
    const double generation = secondsOf([&] {
        if (!generateMixedFolder(folder, options.files))
            std::fprintf(stderr, "could not write every file\n");
    });
    std::printf("generated in %.2f s\n", generation);

    // Warm the cache and check that the three runs agree on what they see.
    const int tiffFiles = openEveryFile(folder);
    const std::size_t all = scanWith(folder, CompressionFilter::All);
    const std::size_t group4 = scanWith(folder, CompressionFilter::Group4);
    std::printf("%d files open as TIFF; filter 0 keeps %zu, filter 6 keeps %zu\n", tiffFiles, all,
                group4);

    double floor = 1e30, scanAll = 1e30, scanGroup4 = 1e30;
    for (int run = 0; run < options.repeat; ++run) {
        floor = std::min(floor, secondsOf([&] { openEveryFile(folder); }));
        scanAll = std::min(scanAll, secondsOf([&] { scanWith(folder, CompressionFilter::All); }));
        scanGroup4 =
            std::min(scanGroup4, secondsOf([&] { scanWith(folder, CompressionFilter::Group4); }));
    }

    const double files = options.files;
    std::printf("best of %d runs over %d files:\n", options.repeat, options.files);
    std::printf("  floor (open and close)  %10.0f files/s\n", files / floor);
    std::printf("  scan, filter 0          %10.0f files/s   %.2f x floor (target 1.30)\n",
                files / scanAll, scanAll / floor);
    std::printf("  scan, filter 6          %10.0f files/s   %.2f x floor\n", files / scanGroup4,
                scanGroup4 / floor);

    if (options.keep)
        work.keep();
    return 0;
}
