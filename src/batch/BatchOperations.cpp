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
        return formatMessage<ReportMessage::MergeHeader>(source, save);
    if (request.operation == BatchOperation::CountPagesEach)
        return formatMessage<ReportMessage::CountEachHeader>(source);
    if (request.operation == BatchOperation::CountTotalPages)
        return messageText(ReportMessage::CountTotalHeader);
    return formatMessage<ReportMessage::ConvertHeader>(source, save);
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
            result.files.push_back({.index = j, .path = input, .status = FileStatus::NotBegun});
            continue;
        }
        if (!fitsPathLimit(input)) {
            const ReportLine line = pathTooLongLine(input);
            result.fileLines += line.text;
            observer.reportLine(line.text);
            ++result.failures;
            result.files.push_back({.index = j,
                                    .path = input,
                                    .status = FileStatus::Failed,
                                    .reason = line.reason,
                                    .lines = line.text});
            continue;
        }
        taken.push_back({j, input});
        result.files.push_back({.index = j, .path = input, .status = FileStatus::Merged});
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
        const ConvertResult converted =
            convertFiles(int(inputs.size()), inputs, outputBase, options, report, cores);
        written = outputWasWritten(converted);
        result.stopped = converted == ConvertResult::Stopped;
    } else {
        const ReportLine line = pathTooLongLine(outputBase);
        result.fileLines += line.text;
        observer.reportLine(line.text);
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

} // namespace

BatchResult runBatch(const BatchRequest& request, BatchObserver& observer) {
    BatchResult result;
    result.merge = request.merge != 0;
    result.converts = !result.merge && isConvertingOperation(request.operation);
    result.shortLog = request.options.shortLog != 0;
    result.operation = request.operation;
    result.sourceFolder = request.sourceFolder;
    result.header = headerOf(request);
    CoreBudget cores(CoreBudget::coresFor(request.options.threads));
    if (request.leftoversLeftOut > 0) {
        const std::string line =
            formatMessage<ReportMessage::LeftoversLeftOut>(request.leftoversLeftOut);
        result.fileLines += line;
        observer.reportLine(line);
    }
    if (request.merge)
        runMerge(request, observer, cores, result);
    else
        OperationRun(request, observer, cores, result).convertSelectedFiles();
    countOutcomes(result);
    return result;
}

} // namespace pagesmith
