#pragma once

#include <cstddef>
#include <string>

namespace pagesmith {

// What a batch run may do to the main window while a job runs. The window
// implements it and hands it to the runs it starts; command-line runs have
// none and these effects are skipped. Implementations carry each call out on
// the user-interface thread while the caller waits.
class MainWindowHooks {
public:
    virtual ~MainWindowHooks() = default;

    // Page 0 is "Tiff Info", page 1 "Results".
    virtual void appendToPage(int page, const std::string& text) = 0;
    virtual std::string pageText(int page) = 0;

    // Writes a status ("Converted", "Merged") into the result column of the
    // file-list row that shows the file with this index in fileNames.
    virtual void setFileStatus(std::size_t fileIndex, const std::string& status) = 0;
};

} // namespace pagesmith
