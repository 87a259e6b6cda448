#include "batch/BatchOperations.h"

#include "base/Paths.h"
#include "batch/BatchProgress.h"
#include "batch/BatchRequest.h"
#include "batch/FileTasks.h"
#include "batch/FolderScan.h"
#include "batch/OperationRun.h"
#include "batch/ReportRoute.h"
#include "engine/ConvertFiles.h"
#include "engine/CoreBudget.h"

namespace pagesmith {

namespace {

void appendPathTooLong(BatchRequest& request, const std::string& path, ReportRoute& route) {
    request.resultText += pathTooLongLine(path);
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

int runMerge(BatchRequest& request, ReportRoute& route, CoreBudget& cores) {
    ensureFolder(request.saveFolder);
    const std::string outputBase = withoutExtension(joinPath(request.saveFolder, request.saveName));

    std::vector<std::string> inputs;
    for (std::size_t j = 0; j < request.fileNames.size(); ++j) {
        if (!request.isSelected(j) || int(inputs.size()) >= kMaxMergeFiles)
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
        convertFiles(int(inputs.size()), inputs, outputBase, request.options, report, cores);
    } else {
        appendPathTooLong(request, outputBase, route);
    }
    appendEngineMessages(request, route);
    request.resultText += formatText("%d files merged\n", int(inputs.size()));
    return int(inputs.size());
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
    CoreBudget cores(CoreBudget::coresFor(request.options.threads));
    if (merge)
        return runMerge(request, route, cores);

    OperationRun run(request, route, cores);
    run.convertSelectedFiles();
    appendEngineMessages(request, route);
    if (run.stopped())
        request.resultText +=
            formatText("Stopped: %d of %d selected file(s) done\n", run.count(), run.selected());
    appendSummary(request, run.count(), run.total());
    return run.count();
}

} // namespace pagesmith
