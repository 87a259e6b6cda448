#include "engine/threads/DecodeAhead.h"

#include "support/CopyTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pagesmith {
namespace {

using test::TempDir;

constexpr std::uint32_t kUnits = 12;
// The page is worth threads (12 units of 64 KiB); of 16 MiB, two units per
// decoder already exceed what the decoders may hold between them.
constexpr std::size_t kSmallUnit = std::size_t(64) << 10;
constexpr std::size_t kHugeUnit = std::size_t(16) << 20;
constexpr std::uint8_t kPartial = 0xEE; // what a unit that fails leaves behind

// Units read ahead by a stand-in reader, whose unit n holds the byte n + 1
// (and a failed unit what it got before it failed), are handed over in
// order up to the first unit not read whole; from there every unit is the
// caller's, and the caller is told where it takes over. Every core the
// decoders took goes back.
TEST(DecodeAhead, HandsOverTheUnitsInOrderUpToTheFirstNotReadWhole) {
    TempDir dir;
    test::writeTiff(dir.path() / "in.tif",
                    test::testPage(64, 64, 8, 1, PLANARCONFIG_CONTIG, COMPRESSION_NONE));
    const TiffHandle in = test::openPage(dir.path() / "in.tif");
    struct Case {
        const char* name;
        int cores;
        std::size_t unitBytes;
        int failsAt;  // -1: none
        bool decoded; // whether threads decode ahead at all
    };
    const Case cases[] = {
        {"every unit whole, on two threads", 2, kSmallUnit, -1, true},
        {"every unit whole, on three threads", 3, kSmallUnit, -1, true},
        {"the first unit fails", 3, kSmallUnit, 0, true},
        {"a middle unit fails", 3, kSmallUnit, 5, true},
        {"the last unit fails", 2, kSmallUnit, int(kUnits) - 1, true},
        {"one core: no thread", 1, kSmallUnit, -1, false},
        {"units too large to hold ahead: no thread", 3, kHugeUnit, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CoreBudget budget(c.cores);
        {
            DecodeAhead ahead(in.get(), kUnits, c.unitBytes, &budget,
                              [&](TIFF* from, std::uint32_t unit, ByteBuffer& into) {
                                  const bool fails = int(unit) == c.failsAt;
                                  std::memset(into.data(), fails ? kPartial : int(unit + 1),
                                              into.size() / (fails ? 2 : 1));
                                  return from && !fails;
                              });
            EXPECT_EQ(budget.freeNow(), c.decoded ? 0 : c.cores - 1);
            ByteBuffer buffer(c.unitBytes);
            for (std::uint32_t unit = 0; unit < kUnits; ++unit) {
                const bool handedOver = c.decoded && (c.failsAt < 0 || int(unit) < c.failsAt);
                ASSERT_EQ(ahead.take(unit, buffer), handedOver) << "unit " << unit;
                if (handedOver) {
                    ASSERT_TRUE(buffer[0] == unit + 1 && buffer[c.unitBytes - 1] == unit + 1)
                        << "unit " << unit << " holds " << int(buffer[0]);
                }
                EXPECT_EQ(ahead.handsOverAt(unit), c.decoded && int(unit) == c.failsAt && unit > 0)
                    << "unit " << unit;
            }
        }
        EXPECT_EQ(budget.freeNow(), c.cores - 1);
    }
}

} // namespace
} // namespace pagesmith
