// The file list filled from a large folder: the folder scan, then the rows
// (model, sort by name, fitted columns), then one paint of the list as shown.
// The sum is how long a user waits for the rows after choosing the folder
// (target: under one second for 10,000 files). Never fails on a figure.
//
//   filelist-bench [--files N] [--repeat N] [--keep]
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise. The folder is the
// scan benchmark's mix (one file in five not TIFF), read from a warm cache.

#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "support/MixedFolder.h"
#include "support/TempFolder.h"
#include "tiff/TiffDiagnostics.h"
#include "ui/main/FileList.h"
#include "ui/main/FileListFill.h"
#include "ui/main/InfoPageSink.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <string>

using namespace pagesmith;
using namespace pagesmith::bench;

namespace {

class NoPages : public InfoPageSink {
public:
    void showPage(int) override {}
    void clearPage(int) override {}
    void appendToPage(int, const std::string&) override {}
};

struct Figures {
    double scan = 1e30;  // scanFolder alone
    double rows = 1e30;  // the rows of an already scanned request
    double fill = 1e30;  // the whole fill: scan and rows
    double paint = 1e30; // painting the list after the fill
};

} // namespace

int main(int argc, char** argv) {
    FolderBenchOptions options;
    if (!parseFolderBenchOptions(argc, argv, "filelist-bench", options))
        return 2;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    silenceTiffDiagnostics();

    bench::TempFolder work("filelist-bench");
    if (!work)
        return 1;
    if (options.keep)
        work.keep();
    const std::string folder = work.path().string();
    std::printf("generating %d files in %s\n", options.files, folder.c_str());
    if (!generateMixedFolder(folder, options.files))
        std::fprintf(stderr, "could not write every file\n");

    FileList list;
    list.resize(1000, 700);
    list.show();
    NoPages pages;
    FileListFill fill(list, pages);
    // The first fill of the process also sets up fonts and styles.
    const double firstFill = secondsOf([&] { fill.fill(folder, 0, CompressionFilter::All); });

    Figures best;
    for (int run = 0; run < options.repeat; ++run) {
        BatchRequest scanned;
        scanned.sourceFolder = folder;
        best.scan = std::min(
            best.scan, secondsOf([&] { scanFolder(scanned, folder, 0, CompressionFilter::All); }));
        best.rows = std::min(best.rows, secondsOf([&] { list.showFiles(scanned); }));
        best.fill =
            std::min(best.fill, secondsOf([&] { fill.fill(folder, 0, CompressionFilter::All); }));
        best.paint = std::min(best.paint, secondsOf([&] { list.grab(); }));
    }

    std::printf("best of %d runs over %d files (%d rows):\n", options.repeat, options.files,
                list.rowCount());
    std::printf("  scan                    %8.3f s\n", best.scan);
    std::printf("  rows (model, sort, fit) %8.3f s\n", best.rows);
    std::printf("  fill (scan and rows)    %8.3f s   first fill of the process %.3f s\n", best.fill,
                firstFill);
    std::printf("  paint                   %8.4f s\n", best.paint);
    std::printf("  rows shown after        %8.3f s   (target under 1.000 s)\n",
                best.fill + best.paint);
    return 0;
}
