#include "batch/FileTasks.h"

#include "base/Paths.h"
#include "base/TextCase.h"
#include "batch/BatchRequest.h"
#include "batch/FileReport.h"
#include "batch/FolderScan.h"
#include "engine/run/ConvertFiles.h"
#include "inspect/ReportLines.h"
#include "inspect/TiffInfo.h"

namespace pagesmith {

namespace {

bool samePath(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    return kCaseInsensitiveFileNames ? lowerCased(a) == lowerCased(b) : a == b;
}

void convert(const BatchRequest& request, const FileTask& task, const std::string& scratchPath,
             FileReport& report, CoreBudget& cores, TaskOutcome& outcome) {
    // The longest name the engine makes from the base: a three-letter suffix and ".tif".
    if (!fitsPathLimit(task.outputBase + "xxx.tif")) {
        outcome.fileLine = pathTooLongLine(task.input);
        report.noteRefusal(outcome.fileLine);
        return;
    }
    // Files whose names differ only in their extension (scan.tif, scan.tiff)
    // map to one output: the first keeps it. A named output ("/sf=") is
    // written again for each file, as asked, and each replacement is reported.
    const bool namedOutput = request.operation == BatchOperation::ConvertToNamedFile;
    if (task.earlierInput && !namedOutput) {
        writeMessage<ReportMessage::NotConvertedOutputTaken>(
            report, shownName(task.input), shownName(task.output), shownName(*task.earlierInput));
        report.noteFailure();
        return;
    }
    ensureFolder(splitPath(task.outputBase).folder); // mirrors the source's sub-folders
    ConversionOptions options = request.options;
    options.tempFile = scratchPath;
    const ConvertResult result =
        convertFiles(1, {task.input}, task.outputBase, options, report, cores);
    outcome.stopped = result == ConvertResult::Stopped;
    if (!outputWasWritten(result))
        return;
    if (task.earlierInput)
        writeMessage<ReportMessage::OverwroteOutput>(report, shownName(task.output),
                                                     shownName(*task.earlierInput));
    outcome.wroteOutput = true;
}

} // namespace

bool FileTask::dependsOn(const FileTask& earlier) const {
    return samePath(output, earlier.output) || samePath(output, earlier.input) ||
           samePath(input, earlier.output);
}

FileTask startFileTask(const BatchRequest& request, std::size_t index) {
    FileTask task;
    task.index = index;
    task.input = request.inputPath(index);
    if (request.operation == BatchOperation::CountPagesEach ||
        request.operation == BatchOperation::CountTotalPages)
        return task;
    const bool namedOutput = request.operation == BatchOperation::ConvertToNamedFile;
    const std::string& name = namedOutput ? request.saveName : request.fileNames[index];
    task.outputBase = withoutExtension(joinPath(request.saveFolder, name));
    task.output = outputPathOf(task.outputBase, request.options);
    return task;
}

TaskOutcome runFileTask(const BatchRequest& request, const FileTask& task,
                        const std::string& scratchPath, FileReport& report, CoreBudget& cores) {
    TaskOutcome outcome;
    outcome.pages = countTiffPages(task.input);
    if (outcome.pages < 0) {
        outcome.fileLine = reportLine<ReportMessage::NotATiffFile>(shownName(task.input));
        report.noteRefusal(outcome.fileLine);
    } else if (request.operation == BatchOperation::CountPagesEach) {
        outcome.fileLine =
            reportLine<ReportMessage::PagesOfFile>(outcome.pages, shownName(task.input));
    } else if (request.operation != BatchOperation::CountTotalPages) {
        convert(request, task, scratchPath, report, cores, outcome);
    }
    return outcome;
}

ReportLine pathTooLongLine(const std::string& path) {
    return reportLine<ReportMessage::PathTooLong>(shownName(path));
}

std::string scratchPathFor(const std::string& scratchPath, int thread) {
    if (thread == 0 || scratchPath.empty())
        return scratchPath;
    return scratchPath + "-" + std::to_string(thread);
}

} // namespace pagesmith
