#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pagesmith {

// Engine settings handed to convertFiles for one conversion or merge.
struct ConversionOptions {
    int compressionMode = 2; // CompressionMode index, see engine/CompressionChoice.h
    int jpegQuality = 75;
    std::uint16_t fillOrder = 0; // 0: as the input page
    int outputTiled = -1;        // -1: tiled if and only if the run's first page is tiled
    int append = 0;              // nonzero: add pages to an existing output file
    int keepName = 1;            // nonzero: no compression suffix in the output name
    std::string tempFile;        // scratch TIFF for colour pages bound for fax

    void reset();
};

// What runBatch does with each selected file (codes combine: 5 = 1|4, 6 = 2|4).
enum BatchOperation : int {
    CountPagesEach = 0,
    ConvertIntoFolder = 1,
    ConvertToNamedFile = 2,
    CountTotalPages = 4,
    ConvertIntoFolderAndCount = 5,
    ConvertToNamedFileAndCount = 6,
};

// Converting operations need a save folder.
bool isConvertingOperation(int operation);

// The parameters and report of one batch operation. fileNames, fileInfos and
// fileSelected are parallel lists; a file is referred to by its index in them.
struct BatchRequest {
    std::vector<std::string> fileNames; // relative to sourceFolder
    std::vector<std::string> fileInfos; // "size,date time" of each scanned file
    std::vector<int> fileSelected;      // nonzero: the file takes part
    std::string sourceFolder;
    std::string saveFolder;
    std::string saveName;
    std::string resultText;
    int merge = 0;
    int operation = CountPagesEach;
    ConversionOptions options;
    int includeSubfolders = 0;
    int compressionFilter = 0;
    int quiet = 0;

    // Defaults of a fresh request; the lists, saveName and resultText are left alone.
    void reset();
    void clearFiles();
    void addFile(std::string name, std::string info = {}, int selected = 1);
};

} // namespace pagesmith
