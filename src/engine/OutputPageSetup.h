#pragma once

#include <tiffio.h>

namespace pagesmith {

struct PageSettings;

enum class PageSetupResult {
    Copied,          // directory filled and pixels copied
    Failed,          // the copy failed
    NoCopyRoutine,   // no copy routine for the page's layout
    BilevelRejected, // a page that a fax compression cannot take
    JpegRefused,     // a page that the JPEG encoder cannot take
    NoSampleSize,    // a page whose BitsPerSample no TIFF sample has
};

// Fills the output page's directory from the input page (positioned on it) and
// the run's settings, then copies the pixels.
PageSetupResult setupOutputPage(TIFF* in, TIFF* out, PageSettings& settings);

// The directory part alone: Copied when the page is ready for its pixels;
// throughRgba says they must come through libtiff's RGBA reader.
PageSetupResult prepareOutputPage(TIFF* in, TIFF* out, PageSettings& settings, bool& throughRgba);

} // namespace pagesmith
