// The file list filled from a large folder: the folder scan, then the rows
// (model, sort by name, fitted columns), then the first paint of the list.
// The sum is how long a user waits for the rows after choosing the folder
// (target: under one second for 10,000 files). Never fails on a figure.
//
//   filelist-bench [--files N] [--repeat N] [--keep]
//
// Runs offscreen unless QT_QPA_PLATFORM says otherwise. The folder is the
// scan benchmark's mix (one file in five not TIFF), read from a warm cache.

#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "engine/TiffDiagnostics.h"
#include "support/MixedFolder.h"
#include "ui/main/FileList.h"
#include "ui/main/FileListFill.h"
#include "ui/main/InfoPageSink.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;
using namespace pagesmith;
using pagesmith::bench::generateMixedFolder;
using pagesmith::bench::secondsOf;

namespace {

struct Options {
    int files = 10000;
    int repeat = 5;
    bool keep = false;
};

class NoPages : public InfoPageSink {
public:
    void showPage(int) override {}
    void clearPage(int) override {}
    void appendToPage(int, const std::string&) override {}
};

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

struct Figures {
    double scan = 1e30;  // scanFolder alone
    double rows = 1e30;  // the rows of an already scanned request
    double fill = 1e30;  // the whole fill: scan and rows
    double paint = 1e30; // the first paint after the fill
};

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: filelist-bench [--files N] [--repeat N] [--keep]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    silenceTiffDiagnostics();

    std::string pattern = (fs::temp_directory_path() / "pagesmith-filelist-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string folder = pattern;
    std::printf("generating %d files in %s\n", options.files, folder.c_str());
    if (!generateMixedFolder(folder, options.files))
        std::fprintf(stderr, "could not write every file\n");

    FileList list;
    list.resize(1000, 700);
    list.show();
    NoPages pages;
    FileListFill fill(list, pages);
    BatchRequest request;
    fill.fill(request, folder, 0, 0); // warms the cache
    std::printf("%d rows\n", list.rowCount());

    Figures best;
    double firstFill = 0;
    for (int run = 0; run < options.repeat; ++run) {
        BatchRequest scanned;
        scanned.sourceFolder = folder;
        best.scan = std::min(best.scan, secondsOf([&] { scanFolder(scanned, folder, 0, 0); }));
        best.rows = std::min(best.rows, secondsOf([&] { list.showFiles(scanned); }));
        const double whole = secondsOf([&] { fill.fill(request, folder, 0, 0); });
        if (run == 0)
            firstFill = whole;
        best.fill = std::min(best.fill, whole);
        best.paint = std::min(best.paint, secondsOf([&] { list.viewport()->repaint(); }));
    }

    std::printf("best of %d runs over %d files (%d rows):\n", options.repeat, options.files,
                list.rowCount());
    std::printf("  scan                    %8.3f s\n", best.scan);
    std::printf("  rows (model, sort, fit) %8.3f s\n", best.rows);
    std::printf("  fill (scan and rows)    %8.3f s   first run %.3f s\n", best.fill, firstFill);
    std::printf("  first paint             %8.4f s\n", best.paint);
    std::printf("  rows shown after        %8.3f s   (target under 1.000 s)\n",
                best.fill + best.paint);

    if (options.keep) {
        std::printf("kept %s\n", folder.c_str());
    } else {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
    return 0;
}
