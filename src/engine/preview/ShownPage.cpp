#include "engine/preview/ShownPage.h"

#include "base/MemoryLimits.h"

#include <algorithm>
#include <cmath>

namespace pagesmith {

namespace {

bool usable(double resolution) {
    return std::isfinite(resolution) && resolution > 0;
}

std::uint32_t scaled(std::uint32_t pixels, double factor) {
    const double value = std::round(double(pixels) * factor);
    return std::uint32_t(std::clamp(value, 1.0, double(UINT32_MAX)));
}

constexpr std::uint64_t kMostPicturePixels = kMostPreviewPictureBytes / 4;

// The largest region around the view that the picture budget allows: the
// view with an equal margin on every side, cut to the page.
ShownRegion regionAround(const ShownPage& page, const PreviewView& view) {
    const std::uint32_t viewWidth = std::clamp<std::uint32_t>(view.width, 1, page.width);
    const std::uint32_t viewLength = std::clamp<std::uint32_t>(view.length, 1, page.length);
    const auto area = [&](std::uint64_t margin) {
        return std::min<std::uint64_t>(page.width, viewWidth + 2 * margin) *
               std::min<std::uint64_t>(page.length, viewLength + 2 * margin);
    };
    std::uint64_t low = 0, high = std::max(page.width, page.length);
    while (low < high) {
        const std::uint64_t middle = (low + high + 1) / 2;
        if (area(middle) <= kMostPicturePixels)
            low = middle;
        else
            high = middle - 1;
    }
    ShownRegion region;
    region.width = std::uint32_t(std::min<std::uint64_t>(page.width, viewWidth + 2 * low));
    region.length = std::uint32_t(std::min<std::uint64_t>(page.length, viewLength + 2 * low));
    // A view larger than the budget itself keeps its full width and fewer rows.
    if (std::uint64_t(region.width) * region.length > kMostPicturePixels)
        region.length =
            std::uint32_t(std::max<std::uint64_t>(1, kMostPicturePixels / region.width));
    const auto place = [](std::uint64_t scroll, std::uint32_t view, std::uint32_t size,
                          std::uint32_t whole) {
        const std::uint64_t centre = scroll + view / 2;
        const std::uint64_t start = centre > size / 2 ? centre - size / 2 : 0;
        return std::uint32_t(std::min<std::uint64_t>(start, whole - size));
    };
    region.x = place(view.scrollX, viewWidth, region.width, page.width);
    region.y = place(view.scrollY, viewLength, region.length, page.length);
    return region;
}

} // namespace

PageFacts readPageFacts(TIFF* in) {
    PageFacts facts;
    if (!in)
        return facts;
    TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &facts.width);
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &facts.length);
    float x = 0, y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    const bool hasX = TIFFGetField(in, TIFFTAG_XRESOLUTION, &x);
    const bool hasY = TIFFGetField(in, TIFFTAG_YRESOLUTION, &y);
    TIFFGetFieldDefaulted(in, TIFFTAG_RESOLUTIONUNIT, &unit);
    // Both or neither: one resolution alone says nothing about the aspect.
    if (hasX && hasY && usable(x) && usable(y)) {
        facts.xResolution = x;
        facts.yResolution = y;
    }
    facts.resolutionUnit =
        unit == RESUNIT_NONE || unit == RESUNIT_CENTIMETER ? unit : std::uint16_t(RESUNIT_INCH);
    return facts;
}

int dotsPerInch(const PageFacts& facts, double resolution) {
    if (!usable(resolution) || facts.resolutionUnit == RESUNIT_NONE)
        return 0;
    const double inch = facts.resolutionUnit == RESUNIT_CENTIMETER ? resolution * 2.54 : resolution;
    return int(std::clamp(std::round(inch), 0.0, 1e9));
}

ShownPage actualSize(const PageFacts& facts) {
    ShownPage page;
    page.width = facts.width;
    page.length = facts.length;
    if (usable(facts.xResolution) && usable(facts.yResolution)) {
        const double aspect =
            std::clamp(facts.xResolution / facts.yResolution, 1 / kMostStretch, kMostStretch);
        if (aspect > 1)
            page.length = scaled(facts.length, aspect);
        else if (aspect < 1)
            page.width = scaled(facts.width, 1 / aspect);
    }
    page.region = {0, 0, page.width, page.length};
    return page;
}

ShownPage showPage(const PageFacts& facts, const PreviewView& view) {
    ShownPage page = actualSize(facts);
    if (page.width == 0 || page.length == 0)
        return {};
    if (view.zoom == PreviewZoom::Fit) {
        const double scale =
            std::min({double(std::max<std::uint32_t>(view.width, 1)) / page.width,
                      double(std::max<std::uint32_t>(view.length, 1)) / page.length, 1.0});
        page.width = scaled(page.width, scale);
        page.length = scaled(page.length, scale);
        page.region = {0, 0, page.width, page.length};
        return page;
    }
    if (std::uint64_t(page.width) * page.length > kMostPicturePixels)
        page.region = regionAround(page, view);
    return page;
}

} // namespace pagesmith
