#pragma once

#include <tiffio.h>

namespace pagesmith {

struct PageSettings;

enum class PageSetupResult {
    Copied,          // directory filled and pixels copied
    Failed,          // no copy routine, or the copy failed
    BilevelRejected, // a page that a fax compression cannot take
};

// Fills the output page's directory from the input page (positioned on it) and
// the run's settings, then copies the pixels.
PageSetupResult setupOutputPage(TIFF* in, TIFF* out, PageSettings& settings);

} // namespace pagesmith
