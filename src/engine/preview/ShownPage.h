#pragma once

#include <tiffio.h>

#include <cstdint>

namespace pagesmith {

// What a page is, as far as showing it goes.
struct PageFacts {
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    // Pixels per unit; 0 where the page gives none (or none that makes sense).
    double xResolution = 0;
    double yResolution = 0;
    std::uint16_t resolutionUnit = RESUNIT_INCH; // RESUNIT_NONE: an aspect ratio only
};

// The facts of the input's current page.
PageFacts readPageFacts(TIFF* in);

// The resolution in dots per inch, rounded; 0 when the page gives none in
// inches or centimetres.
int dotsPerInch(const PageFacts& facts, double resolution);

enum class PreviewZoom { Fit, ActualSize };

// The preview's view of a page: the pane's size, the zoom, and at its own
// size how far the view is scrolled (pixels on screen, from the page's
// top-left corner).
struct PreviewView {
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    PreviewZoom zoom = PreviewZoom::Fit;
    std::uint32_t scrollX = 0;
    std::uint32_t scrollY = 0;
};

// A rectangle of the page as shown, in pixels on screen.
struct ShownRegion {
    std::uint32_t x = 0;
    std::uint32_t y = 0;
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    bool operator==(const ShownRegion&) const = default;
};

// A page as the preview shows it: the whole page's size on screen, and the
// part of it drawn.
struct ShownPage {
    std::uint32_t width = 0;
    std::uint32_t length = 0;
    ShownRegion region;
};

// How much a page with unequal resolutions is stretched at most, whatever
// its tags claim.
constexpr double kMostStretch = 8.0;

// The page at its own size: a pixel on screen for each pixel along its finer
// resolution, the other way stretched to its true aspect (a 204 x 98 dpi fax
// twice as tall as its rows).
ShownPage actualSize(const PageFacts& facts);

// The page as `view` shows it: fitted into the view (never made larger than
// its own size), whole; or at its own size, drawn whole when the picture
// fits in kMostPreviewPictureBytes, else the part around the view that does.
ShownPage showPage(const PageFacts& facts, const PreviewView& view);

} // namespace pagesmith
