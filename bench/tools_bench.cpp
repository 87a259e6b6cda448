// Every batch of the speed table against the libtiff tools doing the same
// job, side by side in one run: a folder of faxes, a large tiled image to
// strips, colour pages dithered to fax, a long fax, a photograph, a merge,
// and PDF documents of the faxes, the long fax and the colour pages against
// tiff2pdf (the colour pages against its Flate, -z, the file sizes too).
// Each row runs both sides in turn, --runs times (alternating which goes
// first), and prints the median wall time with its min-max spread, the ratio
// of the medians with the spread of the per-round ratios, peak memory, and
// whether the row's target is met. It never fails on a figure.
//
//   tools-bench [--runs N] [--only WORD] [--keep]
//
// The program runs as the user runs it (the command line), each run in a
// child process of its own so that its peak resident memory is its alone.
// Tiles to strips cannot be asked for on the command line (a tiled input
// gives tiled output there), so that row runs the engine in a child.

#include "inspect/ReportLines.h"
#include "platform/MemoryReuse.h"
#include "support/ChildRun.h"
#include "support/ConvertOnce.h"
#include "support/PageWriters.h"
#include "support/TempFolder.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace pagesmith;
using namespace pagesmith::bench;

namespace {

struct Options {
    int runs = 5;
    std::string only; // rows whose name holds this word; empty: every row
    bool keep = false;
};

// One side of a row: a job of one or more program runs.
using Job = std::function<ChildRun()>;

struct Row {
    std::string name;
    Job ours;
    Job theirs;
    std::string theirsName;
    double ratioTarget;       // the row is met when the ratio of medians is at most this
    double peakTargetMiB = 0; // 0: the memory target of every batch
    // Files the two sides write, whose sizes are compared: ours no larger.
    std::string oursOutput = {};
    std::string theirsOutput = {};
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::string spread(const std::vector<double>& values, const char* format) {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return formatText(format, *low) + "-" + formatText(format, *high);
}

// What the table's memory row asks of every batch: 32 MiB plus one strip
// (the largest strip of these inputs, a photograph strip of 281 KiB).
constexpr double kBatchPeakMiB = 32.0 + 281.0 / 1024;

struct RowFigures {
    double oursMedian = 0;
    double peakMiB = 0;
};

RowFigures measure(const Row& row, int runs) {
    std::vector<double> ours, theirs, ratios;
    long oursPeak = 0, theirsPeak = 0;
    bool ok = true;
    for (int i = 0; i < runs; ++i) {
        // Alternate which side goes first, so neither always finds a warm cache.
        ChildRun a, b;
        if (i % 2 == 0) {
            a = row.ours();
            b = row.theirs();
        } else {
            b = row.theirs();
            a = row.ours();
        }
        ok = ok && a.ok && b.ok;
        ours.push_back(a.seconds);
        theirs.push_back(b.seconds);
        ratios.push_back(b.seconds > 0 ? a.seconds / b.seconds : 0);
        oursPeak = std::max(oursPeak, a.peakKiB);
        theirsPeak = std::max(theirsPeak, b.peakKiB);
    }
    const double ratio = median(ours) / median(theirs);
    const double peakTarget = row.peakTargetMiB > 0 ? row.peakTargetMiB : kBatchPeakMiB;
    bool met = ok && ratio <= row.ratioTarget && mebibytes(oursPeak) <= peakTarget;
    if (!row.oursOutput.empty()) {
        std::error_code error;
        const auto oursSize = std::filesystem::file_size(row.oursOutput, error);
        const auto theirsSize = std::filesystem::file_size(row.theirsOutput, error);
        met = met && !error && oursSize <= theirsSize;
        std::printf("  sizes: pagesmith %.2f MB, %s %.2f MB\n", oursSize / 1e6,
                    row.theirsName.c_str(), theirsSize / 1e6);
    }
    std::printf("\n%s\n", row.name.c_str());
    std::printf("  pagesmith  %7.3f s (%s)  peak %6.1f MiB\n", median(ours),
                spread(ours, "%.3f").c_str(), mebibytes(oursPeak));
    std::printf("  %-10s %7.3f s (%s)  peak %6.1f MiB\n", row.theirsName.c_str(), median(theirs),
                spread(theirs, "%.3f").c_str(), mebibytes(theirsPeak));
    std::printf("  ratio %.2f (rounds %s), target <= %.2f and peak <= %.1f MiB: %s%s\n", ratio,
                spread(ratios, "%.2f").c_str(), row.ratioTarget, peakTarget,
                met ? "met" : "NOT MET", ok ? "" : " (a run failed)");
    std::fflush(stdout);
    return {median(ours), mebibytes(oursPeak)};
}

// ---- The jobs ---------------------------------------------------------------

std::string program() {
    return PAGESMITH_BINARY;
}

// The program's own command line, quiet, with its run log in the work folder.
Job pagesmithRun(const fs::path& work, std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), program());
    arguments.push_back("/q");
    arguments.push_back("/log=" + (work / "pagesmith-log.txt").string());
    return [arguments] { return runChild(arguments); };
}

// One tool process per input file, one after the other.
Job toolPerFile(std::vector<std::string> tool, const fs::path& inputs, const fs::path& outputs) {
    return [tool, inputs, outputs] {
        fs::remove_all(outputs);
        fs::create_directories(outputs);
        ChildRun all;
        all.ok = true;
        for (const auto& entry : fs::directory_iterator(inputs)) {
            std::vector<std::string> arguments = tool;
            arguments.push_back(entry.path().string());
            arguments.push_back((outputs / entry.path().filename()).string());
            all.add(runChild(arguments));
        }
        return all;
    };
}

// tiff2pdf once per input file, one after the other.
Job tiff2pdfPerFile(const fs::path& inputs, const fs::path& outputs) {
    return [inputs, outputs] {
        fs::remove_all(outputs);
        fs::create_directories(outputs);
        ChildRun all;
        all.ok = true;
        for (const auto& entry : fs::directory_iterator(inputs)) {
            const fs::path pdf = outputs / entry.path().filename().replace_extension(".pdf");
            all.add(runChild({"tiff2pdf", "-o", pdf.string(), entry.path().string()}));
        }
        return all;
    };
}

std::vector<fs::path> filesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder))
        files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The document split into pages, each reduced to grey and dithered to Group 4
// by its own processes, then the pages joined into one file.
Job toolsFaxRoute(const fs::path& document, const fs::path& work) {
    return [document, work] {
        const fs::path pages = work / "tool-pages";
        fs::remove_all(pages);
        fs::create_directories(pages);
        ChildRun all = runChild({"tiffsplit", document.string(), (pages / "page-").string()});
        std::vector<std::string> join = {"tiffcp"};
        for (const fs::path& page : filesIn(pages)) {
            const std::string grey = page.string() + ".grey";
            const std::string bilevel = page.string() + ".bw";
            all.add(runChild({"tiff2bw", page.string(), grey}));
            all.add(runChild({"tiffdither", "-c", "g4", grey, bilevel}));
            join.push_back(bilevel);
        }
        join.push_back((work / "tools-document.tif").string());
        all.add(runChild(join));
        return all;
    };
}

// ---- The inputs -------------------------------------------------------------

struct Inputs {
    fs::path faxFolder; // 500 one-page letter faxes
    fs::path fax;       // 100 pages
    fs::path photo;     // 6000 x 4000 RGB LZW
    fs::path tiled;     // 8192 x 8192 RGB LZW in 256 x 256 tiles
    fs::path document;  // 20 A4 colour letter pages
};

bool writeInputs(const fs::path& work, Inputs& inputs) {
    inputs.faxFolder = work / "faxes";
    inputs.fax = work / "fax.tif";
    inputs.photo = work / "photo.tif";
    inputs.tiled = work / "tiled.tif";
    inputs.document = work / "document.tif";
    fs::create_directories(inputs.faxFolder);
    for (int i = 0; i < 500; ++i) {
        const fs::path file = inputs.faxFolder / formatText("fax%03d.tif", i);
        if (!writeFaxFile(file.string(), letterFaxRow, 1, kFaxLength, i))
            return false;
    }
    return writeFaxFile(inputs.fax.string(), documentFaxRow, 100, 256) &&
           writePhoto(inputs.photo.string(), 6000, 4000) &&
           writeTiledPhoto(inputs.tiled.string(), 8192, 256) &&
           writeLetterDocument(inputs.document.string(), 20, 2480, 3508);
}

std::vector<Row> rows(const fs::path& work, const Inputs& in, const std::string& self) {
    const fs::path out = work / "out";
    auto tiffcp = [&](std::vector<std::string> options, const fs::path& input) -> Job {
        std::vector<std::string> arguments = {"tiffcp"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(input.string());
        arguments.push_back((work / "tiffcp-out.tif").string());
        return [arguments] { return runChild(arguments); };
    };
    auto fresh = [out](Job job) -> Job {
        return [out, job] {
            fs::remove_all(out);
            return job();
        };
    };

    // The merge: the first 100 faxes of the folder, named in full, so that
    // neither side lists the folder.
    std::string mergeList;
    std::vector<std::string> mergeTool = {"tiffcp", "-c", "g4"};
    const std::vector<fs::path> faxes = filesIn(in.faxFolder);
    for (std::size_t i = 0; i < 100 && i < faxes.size(); ++i) {
        if (i > 0)
            mergeList += ',';
        mergeList += faxes[i].string();
        mergeTool.push_back(faxes[i].string());
    }
    mergeTool.push_back((work / "tiffcp-merged.tif").string());

    const std::string dir = "/sd=" + out.string();
    auto tiff2pdf = [&](std::vector<std::string> options, const fs::path& input) -> Job {
        std::vector<std::string> arguments = {"tiff2pdf"};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(),
                         {"-o", (work / "tiff2pdf-out.pdf").string(), input.string()});
        return [arguments] { return runChild(arguments); };
    };
    return {
        {"500 one-page Group 4 faxes (1728x2200) to Group 3 1D, one folder",
         fresh(pagesmithRun(work, {"/d=" + in.faxFolder.string(), dir, "/sc=g31d", "/sl"})),
         toolPerFile({"tiffcp", "-c", "g3:1d:fill"}, in.faxFolder, work / "tiffcp-faxes"),
         "tiffcp x500", 0.25},
        {"8192x8192 RGB, LZW, 256x256 tiles to uncompressed strips", fresh([self, in, out] {
             fs::create_directories(out);
             return runChild({self, "--strips", in.tiled.string(), (out / "tiled").string()});
         }),
         tiffcp({"-s", "-c", "none"}, in.tiled), "tiffcp", 0.78, 64.0},
        {"20 A4 pages (2480x3508) RGB LZW, Floyd-Steinberg to Group 4, one file",
         fresh(pagesmithRun(work, {"/f=" + in.document.string(), dir, "/sc=g4"})),
         toolsFaxRoute(in.document, work), "tools", 0.50},
        {"100-page fax, Group 4 to LZW",
         fresh(pagesmithRun(work, {"/f=" + in.fax.string(), dir, "/sc=lzw"})),
         tiffcp({"-c", "lzw"}, in.fax), "tiffcp", 0.75},
        {"100-page fax, Group 4 to Group 3 2D",
         fresh(pagesmithRun(work, {"/f=" + in.fax.string(), dir, "/sc=g32d"})),
         tiffcp({"-c", "g3:2d"}, in.fax), "tiffcp", 0.75},
        {"6000x4000 RGB photo, LZW to PackBits",
         fresh(pagesmithRun(work, {"/f=" + in.photo.string(), dir, "/sc=pb"})),
         tiffcp({"-c", "packbits"}, in.photo), "tiffcp", 0.75},
        {"6000x4000 RGB photo, LZW to JPEG",
         fresh(pagesmithRun(work, {"/f=" + in.photo.string(), dir, "/sc=jpeg"})),
         tiffcp({"-c", "jpeg"}, in.photo), "tiffcp", 0.75},
        {"merge of 100 one-page faxes to Group 4",
         fresh(pagesmithRun(work,
                            {"/m=" + mergeList, "/sf=" + (out / "merged.tif").string(), "/sc=g4"})),
         [mergeTool] { return runChild(mergeTool); }, "tiffcp", 0.75},
        {"500 one-page Group 4 faxes (1728x2200) to a PDF document each",
         fresh(pagesmithRun(work, {"/d=" + in.faxFolder.string(), dir, "/sc=pdf", "/sl"})),
         tiff2pdfPerFile(in.faxFolder, work / "tiff2pdf-faxes"), "tiff2pdf x500", 0.30},
        {"100-page fax, Group 4 to a PDF document",
         fresh(pagesmithRun(work, {"/f=" + in.fax.string(), dir, "/sc=pdf"})), tiff2pdf({}, in.fax),
         "tiff2pdf", 2.0},
        {"20 A4 pages (2480x3508) RGB LZW to a PDF document",
         fresh(pagesmithRun(work, {"/f=" + in.document.string(), dir, "/sc=pdf"})),
         tiff2pdf({"-z"}, in.document), "tiff2pdf -z", 0.60, 0, (out / "document.pdf").string(),
         (work / "tiff2pdf-out.pdf").string()},
    };
}

int benchmark(const Options& options, const std::string& self) {
    TempFolder work("tools-bench");
    if (!work)
        return 1;
    std::printf("tools-bench: median of %d alternating runs per side, min-max in brackets\n",
                options.runs);
    std::printf("  generating inputs in %s ...\n", work.path().c_str());
    std::fflush(stdout);
    Inputs inputs;
    if (!writeInputs(work.path(), inputs)) {
        std::fprintf(stderr, "cannot write the inputs\n");
        return 1;
    }
    std::printf("  %u cores; load average at start: ",
                unsigned(std::thread::hardware_concurrency()));
    if (FILE* load = std::fopen("/proc/loadavg", "r")) {
        char text[64] = {};
        if (std::fgets(text, sizeof text, load))
            std::fputs(text, stdout);
        std::fclose(load);
    }

    double batchPeak = 0;
    double folderPeak = 0;
    for (const Row& row : rows(work.path(), inputs, self)) {
        if (!options.only.empty() && row.name.find(options.only) == std::string::npos)
            continue;
        const RowFigures figures = measure(row, options.runs);
        if (row.peakTargetMiB == 0)
            batchPeak = std::max(batchPeak, figures.peakMiB);
        if (row.name.find("folder") != std::string::npos)
            folderPeak = figures.peakMiB;
    }

    // Memory does not grow with the folder: the same faxes, a fifth as many.
    if (folderPeak > 0) {
        const fs::path small = work.path() / "faxes-100";
        fs::create_directories(small);
        const std::vector<fs::path> faxes = filesIn(inputs.faxFolder);
        for (std::size_t i = 0; i < 100 && i < faxes.size(); ++i)
            fs::copy_file(faxes[i], small / faxes[i].filename());
        fs::remove_all(work.path() / "out");
        const ChildRun hundred = pagesmithRun(
            work.path(),
            {"/d=" + small.string(), "/sd=" + (work.path() / "out").string(), "/sc=g31d", "/sl"})();
        std::printf("\npeak memory of the folder batch: %.1f MiB for 100 faxes, %.1f MiB for 500\n",
                    mebibytes(hundred.peakKiB), folderPeak);
    }
    if (batchPeak > 0)
        std::printf("largest peak of the command-line batches above: %.1f MiB (target <= %.1f): "
                    "%s\n",
                    batchPeak, kBatchPeakMiB, batchPeak <= kBatchPeakMiB ? "met" : "NOT MET");
    if (options.keep)
        work.keep();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--strips") == 0) {
        platform::keepFreedMemoryForReuse(); // as the program does
        return convertOnce(argv[2], argv[3], CompressionMode::Uncompressed, 0, "");
    }
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0) {
            options.keep = true;
        } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc &&
                   std::atoi(argv[i + 1]) > 0) {
            options.runs = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            options.only = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--runs N] [--only WORD] [--keep]\n", argv[0]);
            return 2;
        }
    }
    TIFFSetWarningHandler(nullptr);
    return benchmark(options, selfPath(argv[0]));
}
