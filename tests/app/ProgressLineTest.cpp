#include "app/ProgressLine.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

struct LineCase {
    int done;
    int total;
    const char* fileName;
    int elapsedSeconds;
    std::size_t width;
    const char* line;
};

TEST(ProgressLine, ShowsCountsTimesAndTheNameWithinTheWidth) {
    const LineCase cases[] = {
        // No estimate before the first file is through.
        {0, 5, "a.tif", 0, 80, "0/5 files | 0:00 elapsed | --:-- left | a.tif"},
        // 12 s for two files: 18 s for the three to come.
        {2, 5, "scan-3.tif", 12, 80, "2/5 files | 0:12 elapsed | 0:18 left | scan-3.tif"},
        {1, 4, "x.tif", 3725, 80, "1/4 files | 1:02:05 elapsed | 3:06:15 left | x.tif"},
        // A long name keeps its end, whole characters only, one column spare.
        {2, 5, "a-very-long-name.tif", 12, 50, "2/5 files | 0:12 elapsed | 0:18 left | ...ame.tif"},
        {2, 5, "\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4\xC3\xA4.tif", 12, 50,
         "2/5 files | 0:12 elapsed | 0:18 left | ...\xC3\xA4\xC3\xA4\xC3\xA4.tif"},
        // A name cannot move the cursor or clear the screen.
        {0, 2, "evil\x1B[2J\n.tif", 0, 80, "0/2 files | 0:00 elapsed | --:-- left | evil?[2J?.tif"},
        // Narrower than the counts: the line is cut.
        {2, 5, "a.tif", 12, 20, "2/5 files | 0:12 el"},
        {2, 5, "a.tif", 12, 0, ""},
    };
    for (const LineCase& c : cases) {
        const ProgressSnapshot snapshot{c.done, c.total, c.fileName,
                                        std::chrono::seconds(c.elapsedSeconds)};
        const std::string line = progressLine(snapshot, c.width);
        EXPECT_EQ(line, c.line) << c.fileName << " at " << c.width;
        EXPECT_LT(columnsOf(line), std::max<std::size_t>(c.width, 1));
    }
}

TEST(ProgressLine, ShowsWhereAWatchStandsWithinTheWidth) {
    EXPECT_EQ(watchLine("/srv/fax-in", 12, 1, true, 80),
              "watching /srv/fax-in: 12 converted, 1 failed");
    EXPECT_EQ(watchLine("/srv/fax-in", 0, 0, false, 80),
              "watching /srv/fax-in: 0 converted, 0 failed (folder gone)");
    // A long folder keeps its end, one column spare.
    const std::string line = watchLine("/mnt/share/department/scanners/inbox", 3, 0, true, 50);
    EXPECT_EQ(line, "watching ...scanners/inbox: 3 converted, 0 failed");
    EXPECT_EQ(columnsOf(line), 49u);
    EXPECT_EQ(watchLine("/in", 3, 0, true, 12), "watching /i");
}

} // namespace
} // namespace pagesmith
