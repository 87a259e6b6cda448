#include "batch/BatchRequest.h"

namespace pagesmith {

void ConversionOptions::reset() {
    compressionMode = 2;
    jpegQuality = 75;
    fillOrder = 0;
    outputTiled = -1;
    append = 0;
    keepName = 1;
    tempFile.clear(); // the owner points it at its scratch file after the reset
}

bool isConvertingOperation(int operation) {
    return operation == ConvertIntoFolder || operation == ConvertToNamedFile ||
           operation == ConvertIntoFolderAndCount || operation == ConvertToNamedFileAndCount;
}

void BatchRequest::reset() {
    options.reset();
    sourceFolder.clear();
    saveFolder.clear();
    merge = 0;
    operation = CountPagesEach;
    includeSubfolders = 0;
    compressionFilter = 0;
}

void BatchRequest::clearFiles() {
    fileNames.clear();
    fileInfos.clear();
    fileSelected.clear();
}

void BatchRequest::addFile(std::string name, std::string info, int selected) {
    fileNames.push_back(std::move(name));
    fileInfos.push_back(std::move(info));
    fileSelected.push_back(selected);
}

} // namespace pagesmith
