#pragma once

#include "inspect/ReportLines.h"

#include <cstdint>
#include <string>

namespace pagesmith {

// Summary of a TIFF file's first page.
struct TiffFileInfo {
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    std::uint32_t pageCount = 0; // as many as the file holds, past 65535 too
    std::uint16_t compression = 0;
    std::uint32_t group3Options = 0; // all bits set when absent
};

// Page count, or -1 when the file does not open as TIFF; an empty chain counts as 1.
int countTiffPages(const std::string& path);

// 0 on success, -1 when the file does not open as TIFF, -2 without a record.
int readTiffInfo(const std::string& path, TiffFileInfo* info);

// The four-line report (or the error line); 0 or -1.
int writeTiffInfo(const std::string& path, ReportLines& report);

// "4 = Group 4 Fax" and so on; "Unknown" for codes outside the table.
const char* describeCompression(std::uint16_t compression);

} // namespace pagesmith
