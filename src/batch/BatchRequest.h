#pragma once

#include "batch/WatchSettings.h"
#include "engine/CompressionChoice.h"
#include "engine/ConversionOptions.h"

#include <string>
#include <vector>

namespace pagesmith {

// What runBatch does with each selected file (codes combine: 5 = 1|4, 6 = 2|4).
enum class BatchOperation : int {
    CountPagesEach = 0,
    ConvertIntoFolder = 1,
    ConvertToNamedFile = 2,
    CountTotalPages = 4,
    ConvertIntoFolderAndCount = 5,
    ConvertToNamedFileAndCount = 6,
};

// The operation with the total page count added ("/tnp").
constexpr BatchOperation withTotalCount(BatchOperation operation) {
    return BatchOperation(int(operation) | int(BatchOperation::CountTotalPages));
}

// Converting operations need a save folder.
bool isConvertingOperation(BatchOperation operation);

// The parameters of one batch operation. fileNames, fileInfos and
// fileSelected are parallel lists; a file is referred to by its index in them.
struct BatchRequest {
    std::vector<std::string> fileNames; // relative to sourceFolder
    std::vector<std::string> fileInfos; // "size,date time" of each scanned file
    std::vector<int> fileSelected;      // nonzero: the file takes part
    std::string sourceFolder;
    std::string saveFolder;
    std::string saveName;
    int merge = 0;
    BatchOperation operation = BatchOperation::CountPagesEach;
    ConversionOptions options;
    int includeSubfolders = 0;
    CompressionFilter compressionFilter = CompressionFilter::All;
    int quiet = 0;
    // Outputs an interrupted run left half-written ("NAME.partial-XXXXXX"),
    // met by the scan or named, and left out of the lists.
    int leftoversLeftOut = 0;
    // "/watch": convert what arrives in sourceFolder until told to stop.
    WatchSettings watch;

    // Defaults of a fresh request; the lists and saveName are left alone.
    void reset();
    // Empties the lists (and the count of leftovers left out of them).
    void clearFiles();
    void addFile(std::string name, std::string info = {}, int selected = 1);

    // The path of the file at `index`: sourceFolder joined with its name. With
    // no source folder (a command line that named files without "/d="), the
    // name as given, so a bare name is read from the current folder.
    std::string inputPath(std::size_t index) const;

    // Whether the file at `index` takes part.
    bool isSelected(std::size_t index) const {
        return index < fileSelected.size() && fileSelected[index];
    }
};

} // namespace pagesmith
