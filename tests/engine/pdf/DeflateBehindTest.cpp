#include "engine/pdf/DeflateBehind.h"
#include "engine/threads/CoreBudget.h"

#include <qpdf/Pl_String.hh>

#include <gtest/gtest.h>
#include <zlib.h>

#include <map>
#include <string>
#include <vector>

namespace pagesmith {
namespace {

std::string inflated(const std::string& compressed, std::size_t size) {
    std::string out(size, '\0');
    uLongf length = uLongf(size);
    if (uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                   reinterpret_cast<const Bytef*>(compressed.data()),
                   uLong(compressed.size())) != Z_OK)
        return "not a zlib stream";
    out.resize(length);
    return out;
}

// Whether another core shares the work or not, and however the data comes
// in, across the pieces compressed on either core, what comes out is one
// zlib stream of all of it, in order, and the same bytes either way.
TEST(DeflateBehind, GivesOneStreamOfEverythingWrittenWithOrWithoutACoreOfItsOwn) {
    std::map<std::size_t, std::string> alone;
    for (int cores : {1, 2}) {
        for (std::size_t size : {std::size_t(0), std::size_t(1000), std::size_t(3) << 20}) {
            SCOPED_TRACE(std::to_string(cores) + " cores, " + std::to_string(size) + " bytes");
            std::string data(size, '\0');
            for (std::size_t i = 0; i < size; ++i)
                data[i] = char((i * 7919) % 251 + i / 4096);
            CoreBudget budget(cores);
            std::string compressed;
            Pl_String collected("collected", nullptr, compressed);
            {
                DeflateBehind deflate(&collected, 2, &budget);
                // Writes of odd sizes, across the chunks handed over.
                for (std::size_t at = 0; at < size; at += 100003)
                    deflate.write(reinterpret_cast<const unsigned char*>(data.data()) + at,
                                  std::min<std::size_t>(100003, size - at));
                deflate.finish();
            }
            EXPECT_EQ(inflated(compressed, size), data);
            if (cores == 1)
                alone[size] = compressed;
            else
                EXPECT_EQ(compressed, alone[size]);
            EXPECT_EQ(budget.freeNow(), cores - 1); // the helper's core is given back
        }
    }
}

} // namespace
} // namespace pagesmith
