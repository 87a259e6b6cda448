#include "batch/BatchOperations.h"

#include "base/Paths.h"
#include "batch/BatchObserver.h"
#include "batch/BatchRequest.h"
#include "batch/FileReport.h"
#include "batch/FileTasks.h"
#include "batch/FolderScan.h"
#include "batch/OperationRun.h"
#include "engine/run/ConvertFiles.h"
#include "engine/threads/CoreBudget.h"
#include "inspect/ReportLines.h"

namespace pagesmith {

namespace {

std::string headerOf(const BatchRequest& request) {
    if (request.options.shortLog)
        return {};
    const std::string source = shownName(request.sourceFolder);
    const std::string save = shownName(request.saveFolder);
    if (request.merge)
        return formatText("FUC: Merge tiff files: folder %s --> %s\n", source.c_str(),
                          save.c_str());
    if (request.operation == BatchOperation::CountPagesEach)
        return formatText("FUC: Count tiff file pages in folder %s\n", source.c_str());
    if (request.operation == BatchOperation::CountTotalPages)
        return "FUC: Count total pages of all tiff files in folder\n";
    return formatText("FUC: Convert tiff files: folder %s --> %s\n", source.c_str(), save.c_str());
}

// A merge is one engine call over every input taken; each input's outcome
// comes from what the call said while it was on that input.
void runMerge(const BatchRequest& request, BatchObserver& observer, CoreBudget& cores,
              BatchResult& result) {
    ensureFolder(request.saveFolder);
    const std::string outputBase = withoutExtension(joinPath(request.saveFolder, request.saveName));

    struct Input {
        std::size_t index;
        std::string path;
    };
    std::vector<Input> taken;
    for (std::size_t j = 0; j < request.fileNames.size(); ++j) {
        if (!request.isSelected(j))
            continue;
        ++result.selected;
        const std::string input = request.inputPath(j);
        if (int(taken.size()) >= kMaxMergeFiles) {
            result.files.push_back({j, input, FileStatus::NotBegun, {}, -1, {}});
            continue;
        }
        if (!fitsPathLimit(input)) {
            const std::string line = pathTooLongLine(input);
            result.fileLines += line;
            observer.reportLine(line);
            ++result.failures;
            result.files.push_back({j, input, FileStatus::Failed, readableReason(line), -1, {}});
            continue;
        }
        taken.push_back({j, input});
        result.files.push_back({j, input, FileStatus::Merged, {}, -1, {}});
    }

    std::vector<std::string> inputs;
    for (const Input& input : taken)
        inputs.push_back(input.path);
    ConversionOptions options = request.options;
    options.keepName = 1; // a merged file is named as asked
    FileReport report(taken.size(), &observer);
    report.onInputStarted([&](std::size_t i) {
        if (i < inputs.size())
            observer.fileStarted(int(i), int(inputs.size()), inputs[i]);
    });
    bool written = false;
    if (fitsPathLimit(outputBase + ".tif")) {
        const int converted =
            convertFiles(int(inputs.size()), inputs, outputBase, options, report, cores);
        written = outputWasWritten(converted);
        result.stopped = converted == kConvertStopped;
    } else {
        const std::string line = pathTooLongLine(outputBase);
        result.fileLines += line;
        observer.reportLine(line);
        report.noteRefusal(line);
    }
    result.visited = int(taken.size());
    result.engineLines += report.lines();
    result.failures += report.failures();

    // The merged file holds each input's pages after those of the inputs before.
    const std::string output = outputPathOf(outputBase, options);
    int outputPages = 0;
    std::size_t input = 0;
    for (FileOutcome& file : result.files) {
        if (file.status != FileStatus::Merged)
            continue;
        if (!written || report.inputFailed(input)) {
            file.status = FileStatus::Failed;
            file.reason = report.reasonOf(input);
            // An input without a failure of its own failed with the output.
            if (file.reason.empty())
                file.reason = report.lastReason();
        }
        std::vector<int> pages = written ? report.pagesWritten(input) : std::vector<int>();
        if (!pages.empty()) {
            file.output = {output, outputPages, pages};
            outputPages += int(pages.size());
        }
        ++input;
    }
    for (const FileOutcome& file : result.files)
        if (file.status != FileStatus::NotBegun)
            observer.fileFinished(file);
}

void countOutcomes(BatchResult& result) {
    for (const FileOutcome& file : result.files) {
        if (file.status == FileStatus::Converted || file.status == FileStatus::Merged)
            ++result.written;
        else if (file.status == FileStatus::Failed)
            ++result.failed;
    }
}

std::string summaryOf(const BatchRequest& request, const BatchResult& result) {
    if (request.merge)
        return formatText("%d files merged\n", result.written) +
               (result.failed > 0 ? formatText("%d files failed\n", result.failed) : "");
    std::string summary;
    switch (request.operation) {
    case BatchOperation::ConvertIntoFolder:
        summary = formatText(" (%d) tiff file(s) converted\n", result.written);
        break;
    case BatchOperation::CountTotalPages:
        // Every file visited counts, readable or not; only readable ones add pages.
        return request.options.shortLog
                   ? formatText(" (%d) tiff file(s), (%d) total page(s)\n", result.visited,
                                result.totalPages)
                   : formatText(" (%d) tiff file(s), (%d) total page(s) in folder %s\n",
                                result.visited, result.totalPages,
                                shownName(request.sourceFolder).c_str());
    case BatchOperation::ConvertIntoFolderAndCount:
        summary = formatText(" (%d) tiff file(s) converted, (%d) total page(s)\n", result.written,
                             result.totalPages);
        break;
    case BatchOperation::CountPagesEach:
        return {};
    default:
        break;
    }
    if (result.failed > 0)
        summary += formatText(" (%d) tiff file(s) failed\n", result.failed);
    return summary;
}

} // namespace

BatchResult runBatch(const BatchRequest& request, BatchObserver& observer) {
    BatchResult result;
    result.merge = request.merge != 0;
    result.converts = !result.merge && isConvertingOperation(request.operation);
    result.shortLog = request.options.shortLog != 0;
    result.header = headerOf(request);
    CoreBudget cores(CoreBudget::coresFor(request.options.threads));
    if (request.leftoversLeftOut > 0) {
        const std::string line =
            formatText("Left out %d .partial- file(s) left over from an interrupted run\r\n",
                       request.leftoversLeftOut);
        result.fileLines += line;
        observer.reportLine(line);
    }
    if (request.merge)
        runMerge(request, observer, cores, result);
    else
        OperationRun(request, observer, cores, result).convertSelectedFiles();
    // A stopped merge wrote nothing: none of its files is done.
    if (result.stopped)
        result.closingLines += formatText("Stopped: %d of %d selected file(s) done\n",
                                          result.merge ? 0 : result.visited, result.selected);
    countOutcomes(result);
    result.closingLines += summaryOf(request, result);
    return result;
}

} // namespace pagesmith
