#pragma once

#include <tiffio.h>

#include <cstdint>

namespace pagesmith {

// Pixels per inch taken for a page that does not say how large it is: the
// resolution most office scanners use.
constexpr double kDefaultPageResolution = 200.0;

// The largest side a page may have, in points: 200 inches, the limit readers
// keep to. A page that would be larger is made smaller, keeping its shape.
constexpr double kLargestPageSide = 14400.0;

// How large a page is on paper, and the resolution that gives it.
struct PdfPageSize {
    double width = 0;                            // points (1/72 inch)
    double height = 0;                           // points
    double xResolution = kDefaultPageResolution; // pixels per inch
    double yResolution = kDefaultPageResolution;
};

// The paper size of a page of width x length pixels, from the resolution of
// the input's current page: XResolution and YResolution in ResolutionUnit
// (inch or centimetre). A page without a usable resolution is taken at
// 200 pixels per inch; one whose unit is none keeps the ratio of its two
// values, at 200 pixels per inch across. So a 204 x 98 fax page comes out
// as tall as it was sent.
PdfPageSize pdfPageSize(TIFF* in, std::uint32_t width, std::uint32_t length);

} // namespace pagesmith
