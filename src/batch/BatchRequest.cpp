#include "batch/BatchRequest.h"

#include "base/Paths.h"

namespace pagesmith {

bool isConvertingOperation(BatchOperation operation) {
    return operation == BatchOperation::ConvertIntoFolder ||
           operation == BatchOperation::ConvertToNamedFile ||
           operation == BatchOperation::ConvertIntoFolderAndCount ||
           operation == BatchOperation::ConvertToNamedFileAndCount;
}

void BatchRequest::reset() {
    options.reset();
    sourceFolder.clear();
    saveFolder.clear();
    merge = 0;
    operation = BatchOperation::CountPagesEach;
    includeSubfolders = 0;
    compressionFilter = CompressionFilter::All;
    watch = WatchSettings{};
}

void BatchRequest::clearFiles() {
    fileNames.clear();
    fileInfos.clear();
    fileSelected.clear();
    leftoversLeftOut = 0;
}

void BatchRequest::addFile(std::string name, std::string info, int selected) {
    fileNames.push_back(std::move(name));
    fileInfos.push_back(std::move(info));
    fileSelected.push_back(selected);
}

std::string BatchRequest::inputPath(std::size_t index) const {
    const std::string& name = fileNames[index];
    return sourceFolder.empty() ? name : joinPath(sourceFolder, name);
}

} // namespace pagesmith
