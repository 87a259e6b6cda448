// A folder of single-page faxes converted to Group 3 by one program run,
// against one tiffcp process per file (the way the job is scripted without
// this program). Prints both times, their ratio, and the peak memory of the
// program run for two folder sizes: it must not grow with the folder.
//
//   batch-bench [--files N,N,...] [--keep]

#include "support/ChildRun.h"
#include "support/PageWriters.h"
#include "support/TempFolder.h"

#include <tiffio.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace pagesmith::bench;

namespace {

void runSize(const fs::path& work, int files) {
    const fs::path in = work / ("in-" + std::to_string(files));
    const fs::path ours = work / ("out-" + std::to_string(files));
    const fs::path theirs = work / ("tiffcp-" + std::to_string(files));
    fs::create_directories(in);
    fs::create_directories(theirs);
    for (int i = 0; i < files; ++i)
        if (!fs::exists(in / ("fax" + std::to_string(i) + ".tif")) &&
            !writeFaxFile((in / ("fax" + std::to_string(i) + ".tif")).string(), letterFaxRow, 1,
                          kFaxLength, i)) {
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
    TempFolder work("batch-bench");
    if (!work)
        return 1;
    std::printf("Folder of single-page %ux%u Group 4 faxes to Group 3 1D (fill)\n", kFaxWidth,
                kFaxLength);
    for (const int files : sizes)
        runSize(work.path(), files);
    if (keep)
        work.keep();
    return 0;
}
