#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

namespace pagesmith::test {
namespace {

// The routine chooseCopyRoutine gives for the page and its output directory.
const char* chosenRoutine(const RoundTrip& trip, const TempDir& dir) {
    writeTiff(dir.path() / "in.tif", trip.input);
    TiffHandle in = openPage(dir.path() / "in.tif");
    TiffHandle out(dir.file("out.tif"), "w");
    EXPECT_TRUE(in && out);
    if (!in || !out)
        return "";
    setUpOutputDirectory(in.get(), out.get(), trip.output);
    return routineName(chooseCopyRoutine(in.get(), out.get(), trip.input.bitsPerSample,
                                         trip.input.samplesPerPixel));
}

TEST(ChooseCopyRoutine, PicksTheRoutineOfEachStorageLayout) {
    std::vector<RoundTrip> trips = onePagePerRoutine(40, 30, 8, 3, COMPRESSION_LZW);
    trips.push_back({"separate strips, same height",
                     testPage(40, 30, 8, 3, PLANARCONFIG_SEPARATE, COMPRESSION_LZW, 8),
                     toStrips(COMPRESSION_LZW, 8), copyRowsSeparateToSeparate});
    TempDir dir;
    for (const RoundTrip& trip : trips) {
        SCOPED_TRACE(trip.name);
        EXPECT_STREQ(chosenRoutine(trip, dir), routineName(trip.routine));
    }
}

TEST(ChooseCopyRoutine, TakesAnInputWithoutStripHeightAsOneStripOfAllRows) {
    TempDir dir;
    // LZW: for an uncompressed page libtiff would supply a strip height itself.
    const TestPage page = testPage(40, 30, 8, 3, PLANARCONFIG_CONTIG, COMPRESSION_LZW, 30);
    for (std::uint32_t outputRows : {0xFFFFFFFFu, 30u}) {
        writeTiff(dir.path() / "in.tif", page);
        // RowsPerStrip moved to a private tag number: the input has none.
        patchTag(dir.path() / "in.tif", TIFFTAG_ROWSPERSTRIP, 30, 65000);
        TiffHandle in = openPage(dir.path() / "in.tif");
        TiffHandle out(dir.file("out.tif"), "w");
        ASSERT_TRUE(in && out);
        setUpOutputDirectory(in.get(), out.get(), toStrips(COMPRESSION_LZW, outputRows));
        EXPECT_STREQ(routineName(chooseCopyRoutine(in.get(), out.get(), 8, 3)),
                     outputRows == 0xFFFFFFFFu ? "copyStripsDecoded" : "copyRowsContig");
    }
}

// The run reports the refusal as a line of its own (the routine knows no
// report), and nothing reaches standard error.
TEST(ChooseCopyRoutine, RefusesPlanesThatDifferBetweenTheSidesSilently) {
    TempDir dir;
    writeTiff(dir.path() / "in.tif",
              testPage(40, 30, 8, 3, PLANARCONFIG_CONTIG, COMPRESSION_LZW, 8));
    TiffHandle in = openPage(dir.path() / "in.tif");
    TiffHandle out(dir.file("out.tif"), "w");
    OutputLayout layout = toStrips(COMPRESSION_LZW, 8);
    layout.planar = PLANARCONFIG_SEPARATE;
    setUpOutputDirectory(in.get(), out.get(), layout);

    testing::internal::CaptureStderr();
    const CopyRoutine routine = chooseCopyRoutine(in.get(), out.get(), 8, 3);
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(routine, nullptr);
    EXPECT_EQ(message, "");
}

} // namespace
} // namespace pagesmith::test
