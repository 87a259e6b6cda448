#include "app/ScratchFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace pagesmith {
namespace {

TEST(ScratchFile, EachOwnerGetsItsOwnFileRemovedWithIt) {
    std::filesystem::path first, second;
    {
        const ScratchFile a;
        const ScratchFile b;
        first = a.path();
        second = b.path();
        EXPECT_NE(first, second);
        EXPECT_EQ(first.filename(), "tmptif.tbw");
        std::ofstream(first) << "page";
        EXPECT_TRUE(std::filesystem::exists(first));
    }
    EXPECT_FALSE(std::filesystem::exists(first));
    EXPECT_FALSE(std::filesystem::exists(first.parent_path()));
    EXPECT_FALSE(std::filesystem::exists(second.parent_path()));
}

} // namespace
} // namespace pagesmith
