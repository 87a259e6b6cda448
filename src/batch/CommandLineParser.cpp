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

// The text still to be read. Options are single tokens separated by blanks; a
// quoted value may run on into later tokens.
class CommandLineCursor {
public:
    explicit CommandLineCursor(const std::string& text) {
        const std::size_t last = text.find_last_not_of(kWhiteSpace);
        m_rest = last == std::string::npos ? std::string() : text.substr(0, last + 1);
        m_rest += ' '; // every token, the last included, ends at a blank
        skipWhiteSpace();
    }

    // The next token, or nothing when the text is used up.
    bool nextToken(std::string& token) {
        m_tokenEnd = m_rest.find(' ');
        if (m_tokenEnd == std::string::npos || m_tokenEnd == 0)
            return false;
        token = m_rest.substr(0, m_tokenEnd);
        return true;
    }

    // Value of the current token after its option, read to the end of the token.
    std::string plainValue(std::size_t optionLength) const {
        return valueText(optionLength, m_tokenEnd);
    }

    // Value of the current token after its option; quoted when it starts with a
    // double quote, and then it ends at the next double quote, perhaps in a
    // later token (a path with blanks). Consumes what it reads.
    std::string quotableValue(std::size_t optionLength) {
        if (optionLength >= m_tokenEnd || m_rest[optionLength] != '"') {
            std::string value = plainValue(optionLength);
            dropToken();
            return value;
        }
        const std::size_t start = optionLength + 1;
        const std::size_t close = m_rest.find('"', start);
        if (close == std::string::npos) {
            // An unclosed quote takes the rest of the line.
            std::string value = valueText(start, m_rest.size() - 1);
            m_rest.clear();
            return value;
        }
        std::string value = valueText(start, close);
        m_rest.erase(0, close + 1);
        skipWhiteSpace();
        return value;
    }

    // Drops the current token and the blank after it.
    void dropToken() {
        m_rest.erase(0, m_tokenEnd + 1);
        skipWhiteSpace();
    }

private:
    void skipWhiteSpace() {
        const std::size_t first = m_rest.find_first_not_of(kWhiteSpace);
        m_rest.erase(0, first == std::string::npos ? m_rest.size() : first);
    }

    // Where file names ignore case, values are lower-cased as the token is;
    // only what a quote carries in from later tokens keeps its case.
    std::string valueText(std::size_t begin, std::size_t end) const {
        if (!kCaseInsensitiveFileNames || begin >= m_tokenEnd)
            return m_rest.substr(begin, end - begin);
        const std::size_t inToken = std::min(end, m_tokenEnd);
        return lowerCased(m_rest.substr(begin, inToken - begin)) +
               m_rest.substr(inToken, end - inToken);
    }

    std::string m_rest;
    std::size_t m_tokenEnd = 0;
};

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

void handleToken(BatchRequest& request, std::string& logPath, CommandLineCursor& cursor,
                 const std::string& token) {
    const std::string option = lowerCased(token);

    if (option == "/q") {
        request.quiet = 1;
    } else if (option == "/k") {
        request.options.keepName = 1;
    } else if (option == "/sl") {
        request.options.shortLog = 1;
    } else if (option == "/watch") {
        request.watch.on = 1;
    } else if (startsWith(option, "/settle=")) {
        request.watch.settleMilliseconds = settleMilliseconds(cursor.plainValue(8));
    } else if (startsWith(option, "/sc=")) {
        request.options.compressionMode = parseCompressionName(cursor.plainValue(4));
    } else if (startsWith(option, "/c=")) {
        request.compressionFilter = parseFilterName(cursor.plainValue(3));
    } else if (startsWith(option, "/d=")) {
        request.sourceFolder = cursor.quotableValue(3);
        request.clearFiles();
        scanFolder(request, request.sourceFolder, request.includeSubfolders,
                   request.compressionFilter);
        return;
    } else if (startsWith(option, "/sd=")) {
        request.operation = BatchOperation::ConvertIntoFolder;
        request.saveFolder = cursor.quotableValue(4);
        return;
    } else if (startsWith(option, "/f=")) {
        request.watch.fileNamed = 1;
        takeOneFile(request, cursor.quotableValue(3));
        return;
    } else if (startsWith(option, "/sf=")) {
        request.operation = BatchOperation::ConvertToNamedFile;
        PathParts parts = splitPath(cursor.quotableValue(4));
        if (!parts.folder.empty()) {
            request.saveFolder = std::move(parts.folder);
            request.saveName = std::move(parts.name);
        }
        return;
    } else if (startsWith(option, "/m=")) {
        request.merge = 1;
        takeMergeList(request, cursor.plainValue(3));
    } else if (startsWith(option, "/log=")) {
        const std::string path = cursor.quotableValue(5);
        // A path the platform cannot open is refused rather than cut short.
        if (fitsPathLimit(path))
            logPath = path;
        return;
    } else if (startsWith(option, "/np")) {
        request.operation = BatchOperation::CountPagesEach;
    } else if (startsWith(option, "/tnp")) {
        request.operation = withTotalCount(request.operation);
    }
    cursor.dropToken();
}

} // namespace

int parseCommandLine(BatchRequest& request, const std::optional<std::string>& commandLine,
                     std::string& logPath, MessageSink& messages) {
    request.merge = 0;
    request.operation = BatchOperation::CountPagesEach;
    request.includeSubfolders = 0;
    request.quiet = 0;
    request.saveFolder.clear();
    request.sourceFolder.clear();
    request.options.keepName = 0;
    request.compressionFilter = CompressionFilter::All;
    if (!commandLine)
        return kNoCommandLine;
    if (commandLine->empty())
        return kEmptyCommandLine;

    CommandLineCursor cursor(*commandLine);
    std::string token;
    while (cursor.nextToken(token))
        handleToken(request, logPath, cursor, token);

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
