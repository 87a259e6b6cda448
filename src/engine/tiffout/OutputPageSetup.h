#pragma once

#include <tiffio.h>

namespace pagesmith {

struct PageSettings;

enum class PageSetupResult {
    Copied,          // directory filled and pixels copied
    Failed,          // the copy failed
    NoCopyRoutine,   // no copy routine for the page's layout
    BilevelRejected, // a page that a fax compression cannot take
};

// Fills the output page's directory from the input page (positioned on it) and
// the run's settings, then copies the pixels.
PageSetupResult setupOutputPage(TIFF* in, TIFF* out, PageSettings& settings);

// The directory part alone: Copied when the page is ready for its pixels;
// `converted` says they do not come as the codec decodes them (they come
// through libtiff's RGBA reader, or made 8-bit for JPEG). A page refused for
// its kind leaves the reason in settings.refusal.
PageSetupResult prepareOutputPage(TIFF* in, TIFF* out, PageSettings& settings, bool& converted);

} // namespace pagesmith
