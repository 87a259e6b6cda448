#pragma once

#include "engine/CompressionChoice.h"

#include <string>

namespace pagesmith {

struct BatchRequest;

// Appends the TIFF files of folder (and of its sub-folders, depth first, when
// includeSubfolders) that pass the compression filter to the request's three
// lists. folder must be the request's sourceFolder or lie inside it: names are
// stored relative to sourceFolder.
void scanFolder(BatchRequest& request, const std::string& folder, int includeSubfolders,
                CompressionFilter compressionFilter);

// Makes sure a folder exists, creating missing parents first. Nonzero when it
// exists or was created.
int ensureFolder(const std::string& folder);

} // namespace pagesmith
