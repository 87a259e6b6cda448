#include "engine/pdf/PdfPageSize.h"

#include <algorithm>
#include <cmath>

namespace pagesmith {

namespace {

constexpr double kCentimetresPerInch = 2.54;

// A resolution as read from a file: only a finite positive value says anything.
bool usable(float value) {
    return std::isfinite(value) && value > 0;
}

} // namespace

PdfPageSize pdfPageSize(TIFF* in, std::uint32_t width, std::uint32_t length) {
    float x = 0, y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    const bool hasX = TIFFGetField(in, TIFFTAG_XRESOLUTION, &x) && usable(x);
    const bool hasY = TIFFGetField(in, TIFFTAG_YRESOLUTION, &y) && usable(y);
    TIFFGetFieldDefaulted(in, TIFFTAG_RESOLUTIONUNIT, &unit);

    PdfPageSize size;
    if (hasX || hasY) {
        // One value alone stands for both.
        const double across = hasX ? x : y;
        const double down = hasY ? y : x;
        if (unit == RESUNIT_NONE) {
            size.yResolution = kDefaultPageResolution * down / across;
        } else {
            const double perInch = unit == RESUNIT_CENTIMETER ? kCentimetresPerInch : 1.0;
            size.xResolution = across * perInch;
            size.yResolution = down * perInch;
        }
    }
    size.width = width * 72.0 / size.xResolution;
    size.height = length * 72.0 / size.yResolution;
    const double largest = std::max(size.width, size.height);
    if (largest > kLargestPageSide) {
        const double shrink = largest / kLargestPageSide;
        size.width /= shrink;
        size.height /= shrink;
        size.xResolution *= shrink;
        size.yResolution *= shrink;
    }
    return size;
}

} // namespace pagesmith
