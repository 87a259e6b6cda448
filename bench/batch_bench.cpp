// A folder of single-page faxes converted to Group 3 by one program run,
// against one tiffcp process per file (the way the job is scripted without
// this program). Prints both times, their ratio, and the peak memory of the
// program run for two folder sizes: it must not grow with the folder.
//
//   batch-bench [--files N,N,...] [--keep]

#include "support/ChildRun.h"

#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using pagesmith::bench::ChildRun;
using pagesmith::bench::mebibytes;
using pagesmith::bench::runChild;

namespace {

constexpr std::uint32_t kWidth = 1728;
constexpr std::uint32_t kLength = 2200;

// Typed lines of word-sized black runs, different on every page.
void letterRow(std::vector<std::uint8_t>& row, std::uint32_t y, std::uint32_t page) {
    std::fill(row.begin(), row.end(), 0);
    if (y < 150 || y > kLength - 150 || (y + page * 11) % 36 >= 22)
        return;
    std::uint32_t state = 2166136261u ^ ((y / 4) * 16777619u) ^ (page * 7919u);
    for (std::uint32_t x = 120; x < kWidth - 120;) {
        state = state * 1103515245u + 12345u;
        const std::uint32_t word = 24 + (state >> 16) % 80;
        for (std::uint32_t i = x; i < std::min(x + word, kWidth - 120); ++i)
            row[i / 8] |= std::uint8_t(0x80 >> (i % 8));
        x += word + 16;
    }
}

bool writeFax(const fs::path& path, std::uint32_t page) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif)
        return false;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, kWidth);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, kLength);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, kLength);
    std::vector<std::uint8_t> row(kWidth / 8);
    bool ok = true;
    for (std::uint32_t y = 0; y < kLength && ok; ++y) {
        letterRow(row, y, page);
        ok = TIFFWriteScanline(tif, row.data(), y, 0) >= 0;
    }
    ok = ok && TIFFWriteDirectory(tif);
    TIFFClose(tif);
    return ok;
}

void runSize(const fs::path& work, int files) {
    const fs::path in = work / ("in-" + std::to_string(files));
    const fs::path ours = work / ("out-" + std::to_string(files));
    const fs::path theirs = work / ("tiffcp-" + std::to_string(files));
    fs::create_directories(in);
    fs::create_directories(theirs);
    for (int i = 0; i < files; ++i)
        if (!fs::exists(in / ("fax" + std::to_string(i) + ".tif")) &&
            !writeFax(in / ("fax" + std::to_string(i) + ".tif"), std::uint32_t(i))) {
            std::printf("cannot write the inputs in %s\n", in.c_str());
            return;
        }

    fs::remove_all(ours);
    const ChildRun program =
        runChild({PAGESMITH_BINARY, "/d=" + in.string(), "/sd=" + ours.string(), "/sc=g31d", "/q",
                  "/sl", "/log=" + (work / "log.txt").string()});
    ChildRun scripted;
    scripted.ok = true;
    for (const auto& entry : fs::directory_iterator(in)) {
        const ChildRun one = runChild({"tiffcp", "-c", "g3:1d:fill", entry.path().string(),
                                       (theirs / entry.path().filename()).string()});
        scripted.ok = scripted.ok && one.ok;
        scripted.seconds += one.seconds;
        scripted.peakKiB = std::max(scripted.peakKiB, one.peakKiB);
    }
    std::printf(
        "%5d files  pagesmith %7.2f s %7.1f MiB peak   tiffcp per file %7.2f s %6.1f MiB peak"
        "   ratio %.2f (target <= 0.70)%s\n",
        files, program.seconds, mebibytes(program.peakKiB), scripted.seconds,
        mebibytes(scripted.peakKiB),
        scripted.seconds > 0 ? program.seconds / scripted.seconds : 0.0,
        program.ok && scripted.ok ? "" : "   (a run failed)");
}

} // namespace

int main(int argc, char** argv) {
    std::vector<int> sizes = {100, 500};
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc) {
            sizes.clear();
            for (char* piece = std::strtok(argv[++i], ","); piece;
                 piece = std::strtok(nullptr, ","))
                sizes.push_back(std::atoi(piece));
        }
    }
    TIFFSetWarningHandler(nullptr);
    const fs::path work = fs::temp_directory_path() / "pagesmith-batch-bench";
    fs::create_directories(work);
    std::printf("Folder of single-page %ux%u Group 4 faxes to Group 3 1D (fill)\n", kWidth,
                kLength);
    for (const int files : sizes)
        runSize(work, files);
    if (!keep)
        fs::remove_all(work);
    return 0;
}
