#include "engine/CompressionChoice.h"

#include "support/Codes.h"
#include "support/NamedPipe.h"
#include "support/TagPatch.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

namespace pagesmith {
namespace {

using test::TempDir;
using test::TestPage;

TEST(ParseCompressionName, AcceptsTheOptionNamesInAnyCaseAndFallsBackToPackBits) {
    using Mode = CompressionMode;
    const std::vector<std::pair<std::string, CompressionMode>> cases = {
        {"NONE", Mode::Uncompressed},
        {"none", Mode::Uncompressed},
        {"PackBits", Mode::PackBits},
        {"g31d", Mode::Group3OneDimFill},
        {"G31D", Mode::Group3OneDimFill},
        {"G32D", Mode::Group3TwoDimFill},
        {"g32d", Mode::Group3TwoDimFill},
        {"g4", Mode::Group4},
        {"G4", Mode::Group4},
        {"Lzw", Mode::Lzw},
        {"jpeg", Mode::Jpeg},
        {"", Mode::PackBits},
        {"group4", Mode::PackBits},
        {"g4x", Mode::PackBits},
        {" G4", Mode::PackBits},
        {"G3ALL", Mode::PackBits},
        {"ALL", Mode::PackBits},
        {"JPG", Mode::PackBits},
        {"8", Mode::PackBits},
    };
    for (const auto& [name, mode] : cases)
        EXPECT_EQ(parseCompressionName(name), mode) << '"' << name << '"';
}

TEST(ParseFilterName, AcceptsTheFilterNamesInAnyCaseAndFallsBackToAll) {
    using Filter = CompressionFilter;
    const std::vector<std::pair<std::string, CompressionFilter>> cases = {
        {"ALL", Filter::All},
        {"all", Filter::All},
        {"None", Filter::Uncompressed},
        {"packbits", Filter::PackBits},
        {"G31D", Filter::Group3OneDim},
        {"g32d", Filter::Group3TwoDim},
        {"g3all", Filter::Group3Any},
        {"G4", Filter::Group4},
        {"lzw", Filter::Lzw},
        {"JPEG", Filter::Jpeg},
        {"", Filter::All},
        {"group 4", Filter::All},
        {"G3", Filter::All},
        {"JPG", Filter::All},
        {"lzw ", Filter::All},
    };
    for (const auto& [name, filter] : cases)
        EXPECT_EQ(parseFilterName(name), filter) << '"' << name << '"';
}

TEST(CompressionTables, HoldTheListTextsByteForByte) {
    const char* const modes[] = {"Unompressed",
                                 "PackBits",
                                 "Group 3 1D (Fill to Byte)",
                                 "Group 3 1D ",
                                 "Group 3 2D (Fill to Byte)",
                                 "Group 3 2D ",
                                 "Group 4",
                                 "LZW",
                                 "JPEG",
                                 "PDF document"};
    const char* const filters[] = {
        "ALL tiff files",        "Uncompressed tiff files", "PackBits tiff files",
        "Group 3 1D tiff files", "Group 3 2D tiff files",   "ALL Group 3 tiff files",
        "Group 4 tiff files",    "LZW tiff files",          "JPEG tiff files"};
    for (int i = 0; i < kCompressionModeCount; ++i) {
        const CompressionMode mode = CompressionMode(i);
        ASSERT_NE(compressionModeInfo(mode), nullptr) << i;
        EXPECT_STREQ(compressionModeInfo(mode)->dialogText, modes[i]) << i;
        // Every named mode is found again by its name; modes 3 and 5 have none.
        if (const char* name = compressionModeInfo(mode)->optionName) {
            EXPECT_EQ(parseCompressionName(name), mode);
        } else {
            EXPECT_TRUE(mode == CompressionMode::Group3OneDim ||
                        mode == CompressionMode::Group3TwoDim)
                << i;
        }
    }
    for (int i = 0; i < kCompressionFilterCount; ++i)
        EXPECT_STREQ(compressionFilterText(CompressionFilter(i)), filters[i]) << i;
    for (int outside : {-1, kCompressionModeCount})
        EXPECT_EQ(compressionModeInfo(CompressionMode(outside)), nullptr);
    for (int outside : {-1, kCompressionFilterCount}) {
        EXPECT_EQ(compressionFilterText(CompressionFilter(outside)), nullptr);
    }
}

TEST(IsBilevelCompression, IsTrueForTheCcittCodesOnly) {
    for (std::uint16_t code : {COMPRESSION_CCITTRLE, COMPRESSION_CCITTFAX3, COMPRESSION_CCITTFAX4})
        EXPECT_TRUE(isBilevelCompression(code)) << code;
    for (std::uint16_t code : {COMPRESSION_NONE, COMPRESSION_LZW, COMPRESSION_OJPEG,
                               COMPRESSION_JPEG, COMPRESSION_PACKBITS, COMPRESSION_ADOBE_DEFLATE})
        EXPECT_FALSE(isBilevelCompression(code)) << code;
}

TestPage bilevel(std::uint16_t compression, std::int64_t group3Options = -1) {
    TestPage page = test::faxPage(64, 20, compression);
    page.group3Options = group3Options;
    return page;
}

TestPage grey(std::uint16_t compression) {
    TestPage page;
    page.width = 32;
    page.length = 16;
    page.compression = compression;
    return page;
}

// The filters (0..8) each fixture must pass; every other code must reject it.
struct FilterCase {
    std::string name;
    std::set<int> passes;
};

class MatchesCompressionFilter : public ::testing::Test {
protected:
    void SetUp() override {
        add("none.tif", grey(COMPRESSION_NONE), {0, 1});
        add("packbits.tif", grey(COMPRESSION_PACKBITS), {0, 2});
        add("g3-1d.tif", bilevel(COMPRESSION_CCITTFAX3, 0), {0, 3, 5});
        add("g3-1d-fill.tif", bilevel(COMPRESSION_CCITTFAX3, 4), {0, 3, 5});
        add("g3-2d.tif", bilevel(COMPRESSION_CCITTFAX3, 1), {0, 4, 5});
        add("g3-2d-fill.tif", bilevel(COMPRESSION_CCITTFAX3, 5), {0, 4, 5});
        add("g4.tif", bilevel(COMPRESSION_CCITTFAX4), {0, 6});
        add("lzw.tif", grey(COMPRESSION_LZW), {0, 7});
        add("jpeg.tif", grey(COMPRESSION_JPEG), {0, 8});

        // Group 3 without Group3Options (libtiff writes none unless told)
        // counts as two-dimensional.
        add("g3-bare.tif", bilevel(COMPRESSION_CCITTFAX3), {0, 4, 5});
        // No Compression tag at all reads as uncompressed.
        add("no-tag.tif", grey(COMPRESSION_NONE), {0, 1});
        test::renumberFirstPageTag(dir.file("no-tag.tif"), TIFFTAG_COMPRESSION, 65000);
        // Only the first page decides.
        test::writeTiff(dir.file("g4-then-lzw.tif"),
                        {bilevel(COMPRESSION_CCITTFAX4), grey(COMPRESSION_LZW)});
        cases.push_back({"g4-then-lzw.tif", {6, 0}});

        test::writeTextFile(dir.file("x.tif"), "not an image\n");
        cases.push_back({"x.tif", {}});
        cases.push_back({"missing.tif", {}});
    }

    void add(const std::string& name, const TestPage& page, std::set<int> passes) {
        test::writeTiff(dir.file(name), page);
        cases.push_back({name, std::move(passes)});
    }

    TempDir dir;
    std::vector<FilterCase> cases;
};

TEST_F(MatchesCompressionFilter, SelectsByFirstPageCompressionForEveryCode) {
    for (const FilterCase& fixture : cases)
        for (int filter = -2; filter <= kCompressionFilterCount + 1; ++filter)
            EXPECT_EQ(matchesCompressionFilter(dir.file(fixture.name), CompressionFilter(filter)),
                      fixture.passes.count(filter) == 1)
                << fixture.name << " with filter " << filter;
}

TEST_F(MatchesCompressionFilter, RejectsANamedPipeWithoutBlocking) {
    const test::NamedPipe pipe(dir, "pipe.tif");
    ASSERT_FALSE(pipe.path().empty());
    EXPECT_FALSE(matchesCompressionFilter(pipe.path(), CompressionFilter::All));
}

TEST(MatchesCompressionFilterOnSharedData, OldStyleJpegPassesOnlyTheAllFilter) {
    const std::filesystem::path folder = test::sharedTestData();
    if (folder.empty() || !std::filesystem::exists(folder / "zackthecat.tif"))
        GTEST_SKIP() << "no old-style JPEG sample in this checkout";
    const std::string path = (folder / "zackthecat.tif").string();
    EXPECT_TRUE(matchesCompressionFilter(path, CompressionFilter::All));
    for (int filter = 1; filter < kCompressionFilterCount; ++filter)
        EXPECT_FALSE(matchesCompressionFilter(path, CompressionFilter(filter))) << filter;
}

} // namespace
} // namespace pagesmith
