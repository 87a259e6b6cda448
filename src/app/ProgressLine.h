#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace pagesmith {

// Where a batch stands when it begins a file.
struct ProgressSnapshot {
    int done = 0;  // files finished
    int total = 0; // files taking part
    std::string fileName;
    std::chrono::seconds elapsed{0};
};

// The one-line progress display of a command-line batch, e.g.
// "2/5 files | 0:12 elapsed | 0:18 left | scan-3.tif", at most `width` - 1
// columns so the terminal never wraps it (a wrapped line cannot be redrawn in
// place). A long file name loses its beginning; control characters in it are
// shown as "?" so a name cannot drive the terminal.
std::string progressLine(const ProgressSnapshot& snapshot, std::size_t width);

// The progress line of a watch: "watching FOLDER: N converted, M failed",
// " (folder gone)" while it is; a long folder name loses its beginning.
std::string watchLine(const std::string& folder, int converted, int failed, bool folderPresent,
                      std::size_t width);

// Columns a UTF-8 text takes, one per character.
std::size_t columnsOf(const std::string& text);

} // namespace pagesmith
