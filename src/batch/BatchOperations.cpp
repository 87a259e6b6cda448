#include "batch/BatchOperations.h"

#include "base/Paths.h"
#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "batch/ReportRoute.h"
#include "engine/ConvertFiles.h"
#include "inspect/TiffInfo.h"

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

void appendPathTooLong(BatchRequest& request, const std::string& path) {
    request.resultText += formatText("Failed to convert %s : path too long\r\n", path.c_str());
}

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
        const std::string input = joinPath(request.sourceFolder, request.fileNames[j]);
        if (!fitsPathLimit(input)) {
            appendPathTooLong(request, input);
            continue;
        }
        inputs.push_back(input);
        route.markFile(j, "Merged");
    }

    request.options.keepName = 1; // a merged file is named as asked
    if (fitsPathLimit(outputBase + ".tif"))
        convertFiles(int(inputs.size()), inputs, outputBase, request.options, route);
    else
        appendPathTooLong(request, outputBase);
    appendEngineMessages(request, route);
    request.resultText += formatText("%d files merged\n", int(inputs.size()));
    return int(inputs.size());
}

void convertOne(BatchRequest& request, std::size_t index, const std::string& input,
                ReportRoute& route) {
    const std::string& name = request.operation == BatchOperation::ConvertToNamedFile
                                  ? request.saveName
                                  : request.fileNames[index];
    const std::string outputBase = withoutExtension(joinPath(request.saveFolder, name));
    // The longest name the engine makes from the base: a three-letter suffix and ".tif".
    if (!fitsPathLimit(outputBase + "xxx.tif")) {
        appendPathTooLong(request, input);
        return;
    }
    ensureFolder(splitPath(outputBase).folder); // mirrors the source's sub-folders
    convertFiles(1, {input}, outputBase, request.options, route);
    route.markFile(index, "Converted");
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
        if (request.operation == BatchOperation::CountPagesEach)
            request.resultText +=
                formatText(" (%d) page(s) in tiff-file: %s\n", pages, input.c_str());
        else if (request.operation != BatchOperation::CountTotalPages)
            convertOne(request, i, input, route);
    }
    appendEngineMessages(request, route);
    appendSummary(request, count, total);
    return count;
}

} // namespace pagesmith
