#include "batch/BatchOperations.h"

#include "base/Paths.h"
#include "batch/BatchProgress.h"
#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "batch/ReportRoute.h"
#include "engine/ConvertFiles.h"
#include "engine/TextCase.h"
#include "inspect/TiffInfo.h"

#include <map>

namespace pagesmith {

namespace {

// Cuts the extension of the file-name part only: the dot of a folder such as
// "out.old" is not an extension.
std::string withoutExtension(const std::string& path) {
    const std::string name = splitPath(path).name;
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return path;
    return path.substr(0, path.size() - name.size() + dot);
}

bool isSelected(const BatchRequest& request, std::size_t index) {
    return index < request.fileSelected.size() && request.fileSelected[index];
}

void appendPathTooLong(BatchRequest& request, const std::string& path, ReportRoute& route) {
    request.resultText += formatText("Failed to convert %s : path too long\r\n", path.c_str());
    route.noteFailure();
}

// A merge is one engine call: its inputs' progress comes from the engine as
// it begins each of them.
class MergeReport : public ProgressReport {
public:
    MergeReport(ReportRoute& route, const std::vector<std::string>& inputs)
        : m_route(route), m_inputs(inputs) {}

    void addLine(const std::string& text) override { m_route.addLine(text); }
    void markFile(std::size_t fileIndex, const std::string& status) override {
        m_route.markFile(fileIndex, status);
    }
    void showError(const std::string& caption, const std::string& text) override {
        m_route.showError(caption, text);
    }
    void noteFailure() override { m_route.noteFailure(); }
    void inputStarted(std::size_t inputIndex) override {
        if (BatchProgress* progress = m_route.progress(); progress && inputIndex < m_inputs.size())
            progress->fileStarted(int(inputIndex), int(m_inputs.size()), m_inputs[inputIndex]);
    }

private:
    ReportRoute& m_route;
    const std::vector<std::string>& m_inputs;
};

void writeHeader(BatchRequest& request, int merge, std::string& messageBuffer) {
    if (request.options.shortLog)
        return;
    const char* source = request.sourceFolder.c_str();
    const char* save = request.saveFolder.c_str();
    if (merge) {
        request.resultText += formatText("FUC: Merge tiff files: folder %s --> %s\n", source, save);
        messageBuffer = "Start merging ...\n";
    } else if (request.operation == BatchOperation::CountPagesEach) {
        request.resultText += formatText("FUC: Count tiff file pages in folder %s\n", source);
    } else if (request.operation == BatchOperation::CountTotalPages) {
        request.resultText += "FUC: Count total pages of all tiff files in folder\n";
    } else {
        request.resultText +=
            formatText("FUC: Convert tiff files: folder %s --> %s\n", source, save);
        messageBuffer = "Start converting ...\n";
    }
}

// The engine's lines: collected in the message buffer on the command line, on
// the window's page otherwise.
void appendEngineMessages(BatchRequest& request, ReportRoute& route) {
    if (request.options.shortLog)
        return;
    request.resultText +=
        route.target() < 0 ? route.messageBuffer() : route.paneText(route.target());
}

int runMerge(BatchRequest& request, ReportRoute& route) {
    ensureFolder(request.saveFolder);
    const std::string outputBase = withoutExtension(joinPath(request.saveFolder, request.saveName));

    std::vector<std::string> inputs;
    for (std::size_t j = 0; j < request.fileNames.size(); ++j) {
        if (!isSelected(request, j) || int(inputs.size()) >= kMaxMergeFiles)
            continue;
        const std::string input = request.inputPath(j);
        if (!fitsPathLimit(input)) {
            appendPathTooLong(request, input, route);
            continue;
        }
        inputs.push_back(input);
        route.markFile(j, "Merged");
    }

    request.options.keepName = 1; // a merged file is named as asked
    if (fitsPathLimit(outputBase + ".tif")) {
        MergeReport report(route, inputs);
        convertFiles(int(inputs.size()), inputs, outputBase, request.options, report);
    } else {
        appendPathTooLong(request, outputBase, route);
    }
    appendEngineMessages(request, route);
    request.resultText += formatText("%d files merged\n", int(inputs.size()));
    return int(inputs.size());
}

// The outputs a run has written so far, each with the input it came from, so
// that no later file of the run replaces one unseen.
class WrittenOutputs {
public:
    const std::string* inputOf(const std::string& output) const {
        const auto found = m_inputs.find(key(output));
        return found == m_inputs.end() ? nullptr : &found->second;
    }
    void add(const std::string& output, const std::string& input) { m_inputs[key(output)] = input; }

private:
    static std::string key(const std::string& path) {
        return kCaseInsensitiveFileNames ? lowerCased(path) : path;
    }
    std::map<std::string, std::string> m_inputs;
};

bool outputWritten(int convertResult) {
    return convertResult != kConvertNoPageWritten && convertResult != kConvertOutputUnusable;
}

void convertOne(BatchRequest& request, std::size_t index, const std::string& input,
                ReportRoute& route, WrittenOutputs& written) {
    const bool namedOutput = request.operation == BatchOperation::ConvertToNamedFile;
    const std::string& name = namedOutput ? request.saveName : request.fileNames[index];
    const std::string outputBase = withoutExtension(joinPath(request.saveFolder, name));
    // The longest name the engine makes from the base: a three-letter suffix and ".tif".
    if (!fitsPathLimit(outputBase + "xxx.tif")) {
        appendPathTooLong(request, input, route);
        return;
    }
    // Files whose names differ only in their extension (scan.tif, scan.tiff)
    // map to one output: the first keeps it. A named output ("/sf=") is
    // written again for each file, as asked, and each replacement is reported.
    const std::string output = outputPathOf(outputBase, request.options);
    const std::string* earlier = request.options.append ? nullptr : written.inputOf(output);
    if (earlier && !namedOutput) {
        writeReportLine(route,
                        "  -- Failed: %s not converted: %s was written from %s in this run\r\n",
                        input.c_str(), output.c_str(), earlier->c_str());
        route.noteFailure();
        return;
    }
    ensureFolder(splitPath(outputBase).folder); // mirrors the source's sub-folders
    const int result = convertFiles(1, {input}, outputBase, request.options, route);
    route.markFile(index, "Converted");
    if (!outputWritten(result))
        return;
    if (earlier)
        writeReportLine(route, "  -- Overwrote %s, written from %s earlier in this run\r\n",
                        output.c_str(), earlier->c_str());
    written.add(output, input);
}

void appendSummary(BatchRequest& request, int count, int total) {
    switch (request.operation) {
    case BatchOperation::ConvertIntoFolder:
        request.resultText += formatText(" (%d) tiff file(s) converted\n", count);
        break;
    case BatchOperation::CountTotalPages:
        request.resultText +=
            request.options.shortLog
                ? formatText(" (%d) tiff file(s), (%d) total page(s)\n", count, total)
                : formatText(" (%d) tiff file(s), (%d) total page(s) in folder %s\n", count, total,
                             request.sourceFolder.c_str());
        break;
    case BatchOperation::ConvertIntoFolderAndCount:
        request.resultText +=
            formatText(" (%d) tiff file(s) converted, (%d) total page(s)\n", count, total);
        break;
    default:
        break;
    }
}

} // namespace

int runBatch(BatchRequest& request, int merge, ReportRoute& route) {
    route.messageBuffer().clear();
    writeHeader(request, merge, route.messageBuffer());
    if (merge)
        return runMerge(request, route);

    int selected = 0;
    for (std::size_t i = 0; i < request.fileNames.size(); ++i)
        selected += isSelected(request, i) ? 1 : 0;

    BatchProgress* progress = route.progress();
    WrittenOutputs written;
    bool stopped = false;
    int count = 0;
    int total = 0;
    for (std::size_t i = 0; i < request.fileNames.size(); ++i) {
        if (!isSelected(request, i))
            continue;
        if (progress && progress->stopRequested()) {
            stopped = true;
            break;
        }
        const std::string input = request.inputPath(i);
        if (progress)
            progress->fileStarted(count, selected, input);
        const int pages = countTiffPages(input);
        ++count;
        if (pages < 0) {
            request.resultText += formatText(
                "Failed to get tiff page(s) of %s : NOT a tiff file or file not exist \r\n",
                input.c_str());
            route.noteFailure();
            continue;
        }
        total += pages;
        if (request.operation == BatchOperation::CountPagesEach)
            request.resultText +=
                formatText(" (%d) page(s) in tiff-file: %s\n", pages, input.c_str());
        else if (request.operation != BatchOperation::CountTotalPages)
            convertOne(request, i, input, route, written);
    }
    appendEngineMessages(request, route);
    if (stopped)
        request.resultText +=
            formatText("Stopped: %d of %d selected file(s) done\n", count, selected);
    appendSummary(request, count, total);
    return count;
}

} // namespace pagesmith
