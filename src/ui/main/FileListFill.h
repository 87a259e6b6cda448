#pragma once

#include "engine/CompressionChoice.h"

#include <string>

namespace pagesmith {

class FileList;
class InfoPageSink;

// Lists a folder's TIFF files: scans the folder and hands what it found to the
// list, whose model keeps the rows; then writes the total on the "Tiff Info"
// page.
class FileListFill {
public:
    FileListFill(FileList& list, InfoPageSink& infoPage);

    // Empties the rows, scans folder (with its sub-folders when
    // includeSubFolders) for files passing the filter code and shows them
    // sorted by name, named relative to folder. The number of rows.
    int fill(const std::string& folder, int includeSubFolders, CompressionFilter filter);
    // Reads the folder again the same way for rows that follow the disk: the
    // files still there keep their check boxes, results and place in the
    // sort; the "Tiff Info" page is left alone. The number of rows.
    int refresh(const std::string& folder, int includeSubFolders, CompressionFilter filter);

    // The line the "Tiff Info" page shows after a fill.
    static std::string totalLine(int count);

private:
    FileList& m_list;
    InfoPageSink& m_infoPage;
};

} // namespace pagesmith
