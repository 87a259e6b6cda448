#pragma once

#include "engine/CompressionChoice.h"

#include <string>

namespace pagesmith {

struct BatchRequest;
class FileList;
class InfoPageSink;

// Lists a folder's TIFF files: scans the folder into the request's file lists
// and shows them, so the lists always hold what the list shows; then writes
// the total on the "Tiff Info" page.
class FileListFill {
public:
    FileListFill(FileList& list, InfoPageSink& infoPage);

    // Empties the request's lists and the rows, makes folder the request's
    // source folder, scans it (with its sub-folders when includeSubFolders)
    // for files passing the filter code and shows them sorted by name. The
    // number of rows.
    int fill(BatchRequest& request, const std::string& folder, int includeSubFolders,
             CompressionFilter filter);

private:
    FileList& m_list;
    InfoPageSink& m_infoPage;
};

} // namespace pagesmith
