#pragma once

#include "engine/CompressionChoice.h"

#include <string>

namespace pagesmith {

struct BatchRequest;

// Appends the TIFF files of folder (and of its sub-folders, depth first, when
// includeSubfolders) that pass the compression filter to the request's three
// lists. folder must be the request's sourceFolder or lie inside it: names are
// stored relative to sourceFolder. Leftovers of an interrupted run are left
// out, and counted in the request.
void scanFolder(BatchRequest& request, const std::string& folder, int includeSubfolders,
                CompressionFilter compressionFilter);

// Whether a path names an output an interrupted run left half-written
// ("NAME.partial-XXXXXX"): never an input.
bool isLeftoverOutput(const std::string& path);

// Makes sure a folder exists, creating missing parents first. Nonzero when it
// exists or was created.
int ensureFolder(const std::string& folder);

// Whether two folder names denote one folder however they are spelled: a
// trailing separator, "." and "..", a symbolic link, letter case where the
// file system ignores it. False when either name is empty.
bool sameFolder(const std::string& a, const std::string& b);

} // namespace pagesmith
