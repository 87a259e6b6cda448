#include "engine/threads/CoreBudget.h"

#include "engine/run/ConvertFiles.h"
#include "support/CopyTestSupport.h"
#include "support/Recorders.h"
#include "support/WaitingThread.h"

#include <gtest/gtest.h>

#include <memory>

namespace pagesmith {
namespace {

using test::kReleased;
using test::kSettle;
using test::onItsOwnThread;
using test::TempDir;

// A thread that must run (a pool worker) waits for a core when none is free
// rather than overdraw the budget, and gets the one given back: the free
// count never goes below zero.
TEST(CoreLease, AThreadThatMustRunWaitsForAFreeCoreInsteadOfOverdrawing) {
    const auto budget = std::make_shared<CoreBudget>(2); // its maker holds one
    CoreLease decoders = CoreLease::ofFree(budget.get(), 4);
    ASSERT_EQ(decoders.cores(), 1);
    ASSERT_EQ(budget->freeNow(), 0);
    auto worker = onItsOwnThread([budget] {
        const CoreLease core = CoreLease::waitForOne(*budget);
        return budget->freeNow();
    });
    EXPECT_EQ(worker.wait_for(kSettle), std::future_status::timeout) << "did not wait";
    EXPECT_EQ(budget->freeNow(), 0);
    decoders.end();
    ASSERT_EQ(worker.wait_for(kReleased), std::future_status::ready) << "still waits";
    EXPECT_EQ(worker.get(), 0);
    EXPECT_EQ(budget->freeNow(), 1);
}

// Cores go back once, when the lease that holds them ends (also after it
// was moved); the maker's own core is free while lent and its own again after.
TEST(CoreLease, GivesItsCoresBackOnceWhenItEnds) {
    CoreBudget budget(4);
    {
        CoreLease first = CoreLease::ofFree(&budget, 2);
        EXPECT_EQ(first.cores(), 2);
        CoreLease moved = std::move(first);
        first.end();
        EXPECT_EQ(budget.freeNow(), 1);
        CoreLease rest = CoreLease::ofFree(&budget, 5);
        EXPECT_EQ(rest.cores(), 1);
        EXPECT_EQ(budget.freeNow(), 0);
    }
    EXPECT_EQ(budget.freeNow(), 3);
    {
        const CoreLease lent = CoreLease::lendOwn(budget);
        EXPECT_EQ(budget.freeNow(), 4);
        EXPECT_EQ(CoreLease::ofFree(&budget, 9).cores(), 4);
    }
    EXPECT_EQ(budget.freeNow(), 3);
}

// A conversion gives back every core it took: a large page decoded ahead
// strip by strip, small pages decoded (and encoded) ahead whole, a colour
// page reduced ahead band by band for fax, in a file and in a merge.
TEST(CoreBudget, IsWhereItStartedAfterAConversion) {
    TempDir dir;
    test::TestPage large = test::testPage(700, 650, 8, 3, PLANARCONFIG_CONTIG, COMPRESSION_LZW, 8);
    test::TestPage small = test::faxPage(1728, 300);
    small.rowsPerStrip = 64;
    test::writeTiff(dir.path() / "pages.tif", {small, large, small, small, large});
    const std::vector<std::string> merge = {dir.file("pages.tif"), dir.file("pages.tif")};
    for (CompressionMode mode : {CompressionMode::PackBits, CompressionMode::Group4})
        for (int cores : {2, 3})
            for (int inputs : {1, 2}) {
                SCOPED_TRACE(testing::Message()
                             << int(mode) << ", " << cores << " cores, " << inputs << " input(s)");
                CoreBudget budget(cores);
                ConversionOptions options;
                options.compressionMode = mode;
                options.tempFile = dir.file("scratch.tbw");
                test::ReportRecorder report;
                EXPECT_EQ(convertFiles(inputs, merge, dir.file("out"), options, report, budget),
                          ConvertResult::Done);
                EXPECT_EQ(budget.freeNow(), cores - 1);
            }
}

} // namespace
} // namespace pagesmith
