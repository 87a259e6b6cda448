#include "engine/preview/ShownPage.h"

#include "base/MemoryLimits.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

PageFacts facts(std::uint32_t width, std::uint32_t length, double x = 0, double y = 0,
                std::uint16_t unit = RESUNIT_INCH) {
    return {width, length, x, y, unit};
}

struct SizeCase {
    const char* name;
    PageFacts page;
    PreviewView view;
    std::uint32_t width, length; // as shown
};

// Sizes on screen worked out by hand: the finer resolution keeps its pixels,
// the other way is stretched; a fitted page keeps that aspect and is never
// made larger than it is.
TEST(ShownPage, KeepsTheTrueAspectOfUnequalResolutions) {
    const PreviewView fit{340, 520, PreviewZoom::Fit, 0, 0};
    const PreviewView own{340, 520, PreviewZoom::ActualSize, 0, 0};
    const SizeCase cases[] = {
        // 1143 * 204 / 98 = 2379.3
        {"fax at 204 x 98, own size", facts(1728, 1143, 204, 98), own, 1728, 2379},
        // 340 / 1728 = 0.19676 of 2379 is 468.1
        {"fax at 204 x 98, fitted", facts(1728, 1143, 204, 98), fit, 340, 468},
        {"fax at 204 x 196, fitted", facts(1728, 2200, 204, 196), fit, 340, 451},
        {"taller rows than columns", facts(100, 400, 100, 200), own, 200, 400},
        {"no resolution: square pixels", facts(1728, 1143), own, 1728, 1143},
        {"one resolution alone says nothing", facts(100, 50, 200, 0), own, 100, 50},
        // An aspect ratio without a unit counts as much.
        {"aspect only", facts(100, 50, 2, 1, RESUNIT_NONE), own, 100, 100},
        {"stretched at most eight times", facts(100, 10, 1e6, 1), own, 100, 80},
        {"small pages are not enlarged", facts(16, 16, 72, 72), fit, 16, 16},
        {"a wide page fits the width", facts(6000, 4000, 300, 300), fit, 340, 227},
        {"a tall strip keeps a pixel", facts(1, 100000, 72, 72), fit, 1, 520},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ShownPage shown = showPage(c.page, c.view);
        EXPECT_EQ(shown.width, c.width);
        EXPECT_EQ(shown.length, c.length);
        EXPECT_EQ(shown.region, (ShownRegion{0, 0, c.width, c.length}));
    }
}

TEST(ShownPage, GivesResolutionsInDotsPerInch) {
    EXPECT_EQ(dotsPerInch(facts(1, 1, 204, 98), 204), 204);
    EXPECT_EQ(dotsPerInch(facts(1, 1, 80, 80, RESUNIT_CENTIMETER), 80), 203); // 203.2
    EXPECT_EQ(dotsPerInch(facts(1, 1, 2, 1, RESUNIT_NONE), 2), 0);
    EXPECT_EQ(dotsPerInch(facts(1, 1), 0), 0);
}

// A page too large to draw whole at its own size is drawn around the view:
// the view and equal margins, within the picture's budget, inside the page.
TEST(ShownPage, DrawsTheViewAndItsSurroundingsOfAPageTooLargeToDrawWhole) {
    const std::uint64_t budget = kMostPreviewPictureBytes / 4;
    const PageFacts big = facts(8192, 8192, 300, 300);
    struct RegionCase {
        const char* name;
        std::uint32_t scrollX, scrollY;
    };
    const RegionCase cases[] = {
        {"middle", 4000, 3000}, {"top left", 0, 0}, {"far end", 7792, 7892}};
    for (const RegionCase& c : cases) {
        SCOPED_TRACE(c.name);
        const ShownPage shown =
            showPage(big, {400, 300, PreviewZoom::ActualSize, c.scrollX, c.scrollY});
        const ShownRegion& region = shown.region;
        EXPECT_EQ(shown.width, 8192u);
        EXPECT_LE(std::uint64_t(region.width) * region.length, budget);
        EXPECT_GT(std::uint64_t(region.width + 2) * (region.length + 2), budget);
        EXPECT_EQ(region.width - 400, region.length - 300); // equal margins
        EXPECT_LE(region.x, c.scrollX);
        EXPECT_LE(region.y, c.scrollY);
        EXPECT_GE(region.x + region.width, c.scrollX + 400);
        EXPECT_GE(region.y + region.length, c.scrollY + 300);
        EXPECT_LE(region.x + region.width, 8192u);
        EXPECT_LE(region.y + region.length, 8192u);
    }
    // One that fits is drawn whole wherever the view is.
    const ShownPage fax =
        showPage(facts(1728, 2200, 204, 196), {400, 300, PreviewZoom::ActualSize, 500, 900});
    EXPECT_EQ(fax.region, (ShownRegion{0, 0, 1728, 2290}));
}

} // namespace
} // namespace pagesmith
