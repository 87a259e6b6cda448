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
#include "support/TempFolder.h"
#include "tiff/TiffDiagnostics.h"
#include "tiff/TiffHandle.h"

#include <tiffio.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pagesmith;

namespace {

struct Options {
    int files = 10000;
    int repeat = 5;
    bool keep = false;
};

struct Kind {
    const char* name;
    std::uint16_t compression; // 0: not a TIFF file
    int bits;
    std::uint32_t group3Options;
    int pages;
};

// One in five files is not a TIFF file; Group 4 files are one in five, so the
// Group 4 filter keeps about a fifth.
constexpr Kind kKinds[] = {
    {"none", COMPRESSION_NONE, 8, 0, 1},
    {"pac", COMPRESSION_PACKBITS, 8, 0, 1},
    {"g31", COMPRESSION_CCITTFAX3, 1, 4, 1},
    {"g32", COMPRESSION_CCITTFAX3, 1, 5, 2},
    {"g4", COMPRESSION_CCITTFAX4, 1, 0, 1},
    {"g4m", COMPRESSION_CCITTFAX4, 1, 0, 3},
    {"lzw", COMPRESSION_LZW, 8, 0, 1},
    {"jpg", COMPRESSION_JPEG, 8, 0, 1},
    {"txt", 0, 0, 0, 0},
    {"bin", 0, 0, 0, 0},
};

bool writeSmallTiff(const std::string& path, const Kind& kind, unsigned seed) {
    TiffHandle file(path, "w");
    if (!file)
        return false;
    TIFF* tif = file.get();
    constexpr std::uint32_t width = 64, length = 64;
    const std::size_t rowBytes = kind.bits == 1 ? width / 8 : width;
    std::vector<std::uint8_t> row(rowBytes);
    for (int page = 0; page < kind.pages; ++page) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, length);
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, kind.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                     kind.bits == 1 ? PHOTOMETRIC_MINISWHITE : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, kind.compression);
        if (kind.compression == COMPRESSION_CCITTFAX3)
            TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, kind.group3Options);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kind.compression == COMPRESSION_JPEG ? 16 : 8);
        for (std::uint32_t y = 0; y < length; ++y) {
            for (std::size_t x = 0; x < rowBytes; ++x)
                row[x] = std::uint8_t((x * 13 + y * 7 + seed) >> (kind.bits == 1 ? 2 : 0));
            if (TIFFWriteScanline(tif, row.data(), y, 0) < 0)
                return false;
        }
        if (!TIFFWriteDirectory(tif))
            return false;
    }
    return true;
}

bool generateFolder(const fs::path& folder, int files) {
    for (int i = 0; i < files; ++i) {
        const Kind& kind = kKinds[i % std::size(kKinds)];
        char name[64];
        std::snprintf(name, sizeof name, "f%05d-%s.%s", i, kind.name,
                      kind.compression ? "tif" : (i % 2 ? "tif" : "dat"));
        const std::string path = (folder / name).string();
        if (kind.compression) {
            if (!writeSmallTiff(path, kind, unsigned(i)))
                return false;
            continue;
        }
        std::ofstream out(path, std::ios::binary);
        for (int line = 0; line < 40; ++line)
            out << "not an image, line " << line << " of file " << i << '\n';
        if (!out)
            return false;
    }
    return true;
}

double secondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

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

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--files") && hasValue)
            options.files = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--repeat") && hasValue)
            options.repeat = std::atoi(argv[++i]);
        else if (!std::strcmp(argv[i], "--keep"))
            options.keep = true;
        else
            return false;
    }
    return options.files > 0 && options.repeat > 0;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: scan-bench [--files N] [--repeat N] [--keep]\n");
        return 2;
    }
    silenceTiffDiagnostics();

    bench::TempFolder work("scan-bench");
    if (!work)
        return 1;
    const std::string folder = work.path().string();
    std::printf("generating %d files in %s\n", options.files, folder.c_str());
    const double generation = secondsOf([&] {
        if (!generateFolder(folder, options.files))
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
