#include "batch/CommandLineParser.h"

#include "base/Paths.h"
#include "base/TextCase.h"
#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "batch/MessageSink.h"
#include "engine/CompressionChoice.h"

#include <algorithm>
#include <cstdlib>

namespace pagesmith {

namespace {

constexpr const char* kWhiteSpace = " \t\r\n\v\f";

// Where file names ignore case, a value is lower-cased up to the argument's
// first blank and keeps the case of the rest, as it has always been read
// there: names show in reports, and outputs are named, as before.
std::string valueCase(const std::string& text) {
    if (!kCaseInsensitiveFileNames)
        return text;
    const std::size_t blank = std::min(text.find(' '), text.size());
    return lowerCased(text.substr(0, blank)) + text.substr(blank);
}

// A folder or file value that starts with a double quote ends at the next
// one, for command lines whose quotes reach the program; an unclosed quote
// takes the rest, trailing blanks dropped. What follows the closing quote is
// not read: it is part of this argument, never another option.
std::string pathValue(const std::string& value) {
    if (value.empty() || value[0] != '"')
        return value;
    const std::size_t close = value.find('"', 1);
    if (close != std::string::npos)
        return value.substr(1, close - 1);
    return value.substr(1, value.find_last_not_of(kWhiteSpace));
}

bool startsWith(const std::string& token, const char* option) {
    return token.rfind(option, 0) == 0;
}

// A path whose only separator is its first character names no folder here:
// its file is read from the "/d=" folder given before, or else from the root.
// A bare name without "/d=" stays as it is, relative to the current folder.
void takeOneFile(BatchRequest& request, const std::string& path) {
    PathParts parts = splitPath(path);
    if (!parts.folder.empty())
        request.sourceFolder = parts.folder;
    else if (request.sourceFolder.empty() && path != parts.name)
        parts.name = path;
    request.clearFiles();
    if (isLeftoverOutput(path))
        ++request.leftoversLeftOut;
    else
        request.addFile(std::move(parts.name));
}

void takeMergeFile(BatchRequest& request, const std::string& name) {
    if (isLeftoverOutput(name))
        ++request.leftoversLeftOut;
    else
        request.addFile(name);
}

// "/m=a.tif,b.tif": one file per comma-separated piece. An empty piece ends
// the splitting and what remains is taken as one name.
void takeMergeList(BatchRequest& request, const std::string& list) {
    request.clearFiles();
    std::string rest = list;
    std::size_t comma;
    while ((comma = rest.find(',')) != std::string::npos && comma > 0) {
        takeMergeFile(request, rest.substr(0, comma));
        rest.erase(0, comma + 1);
    }
    if (!rest.empty())
        takeMergeFile(request, rest);
}

// "/settle=1.5": seconds, fractions allowed; -1 for anything else.
int settleMilliseconds(const std::string& value) {
    char* end = nullptr;
    const double seconds = std::strtod(value.c_str(), &end);
    if (value.empty() || *end != '\0' || !(seconds >= 0) || seconds > 24 * 3600)
        return -1;
    return int(seconds * 1000 + 0.5);
}

// One argument is one option, whatever its value holds: a blank or a quote in
// a name never starts another option.
void takeArgument(BatchRequest& request, std::string& logPath, const std::string& argument) {
    // A word with blanks and no value is no option ("/q /k" is one word).
    if (argument.find('=') == std::string::npos &&
        argument.find_first_of(kWhiteSpace) != std::string::npos)
        return;
    const std::size_t first = argument.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return;
    const std::string text = valueCase(argument.substr(first));
    const std::string option = lowerCased(text);
    const auto value = [&text](std::size_t optionLength) { return text.substr(optionLength); };

    if (option == "/q") {
        request.quiet = 1;
    } else if (option == "/k") {
        request.options.keepName = 1;
    } else if (option == "/sl") {
        request.options.shortLog = 1;
    } else if (option == "/watch") {
        request.watch.on = 1;
    } else if (startsWith(option, "/settle=")) {
        request.watch.settleMilliseconds = settleMilliseconds(value(8));
    } else if (startsWith(option, "/sc=")) {
        request.options.compressionMode = parseCompressionName(value(4));
    } else if (startsWith(option, "/c=")) {
        request.compressionFilter = parseFilterName(value(3));
    } else if (startsWith(option, "/d=")) {
        request.sourceFolder = pathValue(value(3));
        request.clearFiles();
        scanFolder(request, request.sourceFolder, request.includeSubfolders,
                   request.compressionFilter);
    } else if (startsWith(option, "/sd=")) {
        request.operation = BatchOperation::ConvertIntoFolder;
        request.saveFolder = pathValue(value(4));
    } else if (startsWith(option, "/f=")) {
        request.watch.fileNamed = 1;
        takeOneFile(request, pathValue(value(3)));
    } else if (startsWith(option, "/sf=")) {
        request.operation = BatchOperation::ConvertToNamedFile;
        PathParts parts = splitPath(pathValue(value(4)));
        if (!parts.folder.empty()) {
            request.saveFolder = std::move(parts.folder);
            request.saveName = std::move(parts.name);
        }
    } else if (startsWith(option, "/m=")) {
        request.merge = 1;
        takeMergeList(request, value(3));
    } else if (startsWith(option, "/log=")) {
        const std::string path = pathValue(value(5));
        // A path the platform cannot open is refused rather than cut short.
        if (fitsPathLimit(path))
            logPath = path;
    } else if (startsWith(option, "/np")) {
        request.operation = BatchOperation::CountPagesEach;
    } else if (startsWith(option, "/tnp")) {
        request.operation = withTotalCount(request.operation);
    }
}

} // namespace

int parseCommandLine(BatchRequest& request, const std::vector<std::string>& arguments,
                     std::string& logPath, MessageSink& messages) {
    request.merge = 0;
    request.operation = BatchOperation::CountPagesEach;
    request.includeSubfolders = 0;
    request.quiet = 0;
    request.saveFolder.clear();
    request.sourceFolder.clear();
    request.options.keepName = 0;
    request.compressionFilter = CompressionFilter::All;
    if (arguments.empty())
        return kNoCommandLine;
    if (arguments.size() == 1 && arguments[0].empty())
        return kEmptyCommandLine;

    for (const std::string& argument : arguments)
        takeArgument(request, logPath, argument);

    // A watch has refusals of its own, given by whoever runs it.
    if (request.watch.on)
        return kRunBatch;
    // Writing into the source folder could overwrite the files being read; a
    // merge needs a target as much as a conversion does.
    const bool writesFiles = isConvertingOperation(request.operation) || request.merge;
    if (!request.saveFolder.empty() && request.saveFolder != request.sourceFolder &&
        !sameFolder(request.saveFolder, request.sourceFolder))
        return kRunBatch;
    if (writesFiles) {
        messages.show("ERROR Save Folder",
                      "Please set save-dir with '/sd=', and be sure it is not the same as "
                      "source-dir",
                      MessageKind::Error);
        return kNoSaveFolder;
    }
    return kRunBatch;
}

} // namespace pagesmith
