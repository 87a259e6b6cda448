#include "batch/BatchOperations.h"

#include "app/PathLimits.h"
#include "app/ProcessState.h"
#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "engine/ConvertFiles.h"
#include "inspect/TiffInfo.h"

namespace pagesmith {

namespace {

// Cuts the extension of the file-name part only: the dot of a folder such as
// "out.old" is not an extension.
std::string withoutExtension(const std::string& path) {
    const std::size_t nameStart = path.find_last_of(kPathSeparator);
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (nameStart != std::string::npos && dot < nameStart))
        return path;
    return path.substr(0, dot);
}

std::string folderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of(kPathSeparator);
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

bool isSelected(const BatchRequest& request, std::size_t index) {
    return index < request.fileSelected.size() && request.fileSelected[index];
}

void appendPathTooLong(BatchRequest& request, const std::string& path) {
    request.resultText += formatText("Failed to convert %s : path too long\r\n", path.c_str());
}

void writeHeader(BatchRequest& request, int merge) {
    ProcessState& state = processState();
    if (state.shortLog)
        return;
    const char* source = request.sourceFolder.c_str();
    const char* save = request.saveFolder.c_str();
    if (merge) {
        request.resultText += formatText("FUC: Merge tiff files: folder %s --> %s\n", source, save);
        state.messageBuffer = "Start merging ...\n";
    } else if (request.operation == CountPagesEach) {
        request.resultText += formatText("FUC: Count tiff file pages in folder %s\n", source);
    } else if (request.operation == CountTotalPages) {
        request.resultText += "FUC: Count total pages of all tiff files in folder\n";
    } else {
        request.resultText +=
            formatText("FUC: Convert tiff files: folder %s --> %s\n", source, save);
        state.messageBuffer = "Start converting ...\n";
    }
}

// The engine's lines: collected in the message buffer on the command line, on
// the window's page otherwise.
void appendEngineMessages(BatchRequest& request, ProgressTarget target) {
    ProcessState& state = processState();
    if (state.shortLog)
        return;
    request.resultText += target < 0 ? state.messageBuffer : paneText(target);
}

int runMerge(BatchRequest& request, ProgressTarget target) {
    ensureFolder(request.saveFolder);
    const std::string outputBase = withoutExtension(joinPath(request.saveFolder, request.saveName));

    std::vector<std::string> inputs;
    for (std::size_t j = 0; j < request.fileNames.size(); ++j) {
        if (!isSelected(request, j) || int(inputs.size()) >= kMaxMergeFiles)
            continue;
        const std::string input = joinPath(request.sourceFolder, request.fileNames[j]);
        if (!fitsPathLimit(input)) {
            appendPathTooLong(request, input);
            continue;
        }
        inputs.push_back(input);
        setFileStatus(j, "Merged");
    }

    request.options.keepName = 1; // a merged file is named as asked
    if (fitsPathLimit(outputBase + ".tif"))
        convertFiles(int(inputs.size()), inputs, outputBase, request.options, target);
    else
        appendPathTooLong(request, outputBase);
    appendEngineMessages(request, target);
    request.resultText += formatText("%d files merged\n", int(inputs.size()));
    return int(inputs.size());
}

void convertOne(BatchRequest& request, std::size_t index, const std::string& input,
                ProgressTarget target) {
    const std::string& name =
        request.operation == ConvertToNamedFile ? request.saveName : request.fileNames[index];
    const std::string outputBase = withoutExtension(joinPath(request.saveFolder, name));
    // The longest name the engine makes from the base: a three-letter suffix and ".tif".
    if (!fitsPathLimit(outputBase + "xxx.tif")) {
        appendPathTooLong(request, input);
        return;
    }
    ensureFolder(folderOf(outputBase)); // mirrors the source's sub-folders
    convertFiles(1, {input}, outputBase, request.options, target);
    setFileStatus(index, "Converted");
}

void appendSummary(BatchRequest& request, int count, int total) {
    switch (request.operation) {
    case ConvertIntoFolder:
        request.resultText += formatText(" (%d) tiff file(s) converted\n", count);
        break;
    case CountTotalPages:
        request.resultText +=
            processState().shortLog
                ? formatText(" (%d) tiff file(s), (%d) total page(s)\n", count, total)
                : formatText(" (%d) tiff file(s), (%d) total page(s) in folder %s\n", count, total,
                             request.sourceFolder.c_str());
        break;
    case ConvertIntoFolderAndCount:
        request.resultText +=
            formatText(" (%d) tiff file(s) converted, (%d) total page(s)\n", count, total);
        break;
    default:
        break;
    }
}

} // namespace

int runBatch(BatchRequest& request, int merge, ProgressTarget target) {
    processState().messageBuffer.clear();
    writeHeader(request, merge);
    if (merge)
        return runMerge(request, target);

    int count = 0;
    int total = 0;
    for (std::size_t i = 0; i < request.fileNames.size(); ++i) {
        if (!isSelected(request, i))
            continue;
        const std::string input = joinPath(request.sourceFolder, request.fileNames[i]);
        const int pages = countTiffPages(input);
        ++count;
        if (pages < 0) {
            request.resultText += formatText(
                "Failed to get tiff page(s) of %s : NOT a tiff file or file not exist \r\n",
                input.c_str());
            continue;
        }
        total += pages;
        if (request.operation == CountPagesEach)
            request.resultText +=
                formatText(" (%d) page(s) in tiff-file: %s\n", pages, input.c_str());
        else if (request.operation != CountTotalPages)
            convertOne(request, i, input, target);
    }
    appendEngineMessages(request, target);
    appendSummary(request, count, total);
    return count;
}

} // namespace pagesmith
