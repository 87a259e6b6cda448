#include "fuzz/FuzzEntry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace pagesmith::test {
namespace {

// Every input that once made the fuzzer find a fault goes through the same
// entry again; the sanitizer build turns any memory or undefined-behaviour
// fault into a failure.
TEST(FuzzRegressions, EveryKeptInputRunsThroughCleanly) {
    const std::filesystem::path folder = PAGESMITH_FUZZ_REGRESSIONS;
    int replayed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file() || entry.path().filename() == "README")
            continue;
        std::ifstream file(entry.path(), std::ios::binary);
        const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
        SCOPED_TRACE(entry.path().filename().string());
        runFuzzInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++replayed;
    }
    EXPECT_GT(replayed, 0);
}

} // namespace
} // namespace pagesmith::test
