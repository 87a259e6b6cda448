#pragma once

#include <string>

namespace pagesmith {

// The page operations of the information and results pane that the file list
// uses: page 0 is "Tiff Info", page 1 "Results".
class InfoPageSink {
public:
    virtual ~InfoPageSink() = default;

    virtual void showPage(int page) = 0;
    virtual void clearPage(int page) = 0;
    virtual void appendToPage(int page, const std::string& text) = 0;
};

} // namespace pagesmith
