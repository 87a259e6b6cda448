#include "inspect/TiffInfo.h"

#include "base/ReportMessages.h"
#include "tiff/OpenForReading.h"

#include <tiffio.h>

#include <algorithm>
#include <limits>

namespace pagesmith {

namespace {

struct CompressionText {
    std::uint16_t code;
    const char* text;
};

constexpr CompressionText kCompressionTexts[] = {
    {1, "1 = Uncompressed"},
    {2, "2 = CCITT G3-1D Modified Huffman RLE Compression"},
    {3, "3 = Group 3 Fax"},
    {4, "4 = Group 4 Fax"},
    {5, "5 = LZW"},
    {6, "6 = Old JPEG"},
    {7, "7 = lossy JPEG grayscale and color Fax"},
    {8, "8 = Adobe Deflate compression"},
    {9, "9 = Lossless JBIG black-and-white Fax"},
    {10, "10 = Lossless JBIG grayscale and Color Fax"},
    {32766, "32766 = NeXT 2-bit RLE Compression"},
    {32771, "32771 = CCITT G3-1D Modified Huffman RLE Compression"},
    {32773, "32773 = Macintosh PackBits algorithm"},
    {32809, "32809 = ThunderScan RLE Compression"},
    {32895, "32895 = IT8 Continuous Tone image"},
    {32896, "32896 = IT8 Line Work image"},
    {32897, "32897 = IT8 Monochrome picture"},
    {32898, "32898 = Binary Linework file"},
    {32908, "32908 = Pixar companded 10bit LZW"},
    {32909, "32909 = Pixar companded 11bit ZIP"},
    {32946, "32946 = experimental Deflate scheme"},
    {32947, "32947 = Kodak DCS encoding"},
    {34661, "34661 = ISO JBIG"},
    {34676, "34676 = SGI Log Luminance RLE compression"},
    {34677, "34677 = SGI Log 24-bit packed"},
    {34712, "34712 = Leadtools JPEG2000"},
};

constexpr std::uint32_t kAllBitsSet = std::numeric_limits<std::uint32_t>::max();

// Group3Options is a plain LONG only while the fax codec owns the directory;
// otherwise libtiff may know it as an anonymous tag that wants a count and a
// pointer, and reading it as one value would write past the argument.
std::uint32_t readGroup3Options(TIFF* tiff, std::uint16_t compression) {
    if (compression != COMPRESSION_CCITTFAX3)
        return kAllBitsSet;
    const TIFFField* field = TIFFFindField(tiff, TIFFTAG_GROUP3OPTIONS, TIFF_ANY);
    if (!field || TIFFFieldPassCount(field))
        return kAllBitsSet;
    std::uint32_t options = kAllBitsSet;
    if (!TIFFGetField(tiff, TIFFTAG_GROUP3OPTIONS, &options))
        return kAllBitsSet;
    return options;
}

} // namespace

const char* describeCompression(std::uint16_t compression) {
    for (const CompressionText& entry : kCompressionTexts)
        if (entry.code == compression)
            return entry.text;
    return "Unknown";
}

int countTiffPages(const std::string& path) {
    // Read rather than mapped: a batch counts every file on several threads,
    // and unmapping a file costs every other core a flush.
    TiffHandle file = openTiffForReading(path, "rm");
    if (!file)
        return -1;
    const auto count = TIFFNumberOfDirectories(file.get());
    if (count == 0)
        return 1;
    return static_cast<int>(std::min<std::uint64_t>(count, std::numeric_limits<int>::max()));
}

int readTiffInfo(const std::string& path, TiffFileInfo* info) {
    TiffHandle file = openTiffForReading(path);
    if (!file)
        return -1;
    if (!info)
        return -2;
    TIFF* tiff = file.get();
    *info = TiffFileInfo{};
    info->pageCount = TIFFNumberOfDirectories(tiff);
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &info->width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &info->length);
    info->compression = 65535;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &info->compression);
    info->group3Options = readGroup3Options(tiff, info->compression);
    return 0;
}

int writeTiffInfo(const std::string& path, ReportLines& report) {
    TiffFileInfo info;
    if (readTiffInfo(path, &info) != 0) {
        report.addLine(formatMessage<ReportMessage::InfoUnreadable>(shownName(path)));
        return -1;
    }
    report.addLine(formatMessage<ReportMessage::InfoName>(shownName(path)));
    report.addLine(formatMessage<ReportMessage::InfoPages>(unsigned(info.pageCount)));
    // Unsigned, so a width past 2^31 is not shown negative.
    report.addLine(
        formatMessage<ReportMessage::InfoSize>(unsigned(info.width), unsigned(info.length)));
    report.addLine(
        formatMessage<ReportMessage::InfoCompression>(describeCompression(info.compression)));
    return 0;
}

} // namespace pagesmith
