#pragma once

#include "engine/pdf/PdfImage.h"
#include "engine/pdf/PdfPageSize.h"
#include "engine/pdf/PdfPageSource.h"

#include <tiffio.h>

#include <memory>
#include <string>
#include <vector>

namespace pagesmith {

class CoreBudget;

// zlib's level for pages compressed with Flate: on scanned colour pages,
// filtered first, it is three times as fast as zlib's default and leaves
// files a tenth larger.
constexpr int kPdfFlateLevel = 2;

// How one page goes into a document: its paper size and its images.
struct PdfPagePlan {
    std::uint32_t width = 0;  // pixels
    std::uint32_t length = 0; // pixels
    PdfPageSize size;
    std::vector<PdfImage> images;
    std::shared_ptr<PageDamage> damage = std::make_shared<PageDamage>();
    std::string refusal; // why the page cannot go in; empty when it can (or nothing is known)

    explicit operator bool() const { return !images.empty(); }
};

// The plan for the input's current page, whose data `source` reads again
// when the document is written. Data PDF holds as the file stores it goes in
// as it is (CCITT, JPEG); everything else is decoded and goes in with Flate.
// Reads the page's tags and the heads of its strips, nothing more. Pages
// compressed when the document is written take a core of `cores` to help
// where one is free.
PdfPagePlan planPdfPage(TIFF* in, const PdfPageSource& source, CoreBudget* cores = nullptr);

} // namespace pagesmith
