#include "engine/tiffout/PageSettings.h"

#include <gtest/gtest.h>

#include <tiffio.h>

#include <string>

namespace pagesmith {
namespace {

TEST(ApplyCompressionMode, SetsTheRunsCompressionAndAppendsTheSuffixUnlessKeepingNames) {
    // Group 3's options are checked as written, in OutputPage's tests.
    struct Expected {
        std::uint16_t compression;
        bool jpegRgb;
        const char* name;
    };
    const Expected expected[] = {
        {COMPRESSION_NONE, false, "scanno"},       {COMPRESSION_PACKBITS, false, "scanpac"},
        {COMPRESSION_CCITTFAX3, false, "scang31"}, {COMPRESSION_CCITTFAX3, false, "scang31"},
        {COMPRESSION_CCITTFAX3, false, "scang32"}, {COMPRESSION_CCITTFAX3, false, "scang32"},
        {COMPRESSION_CCITTFAX4, false, "scang4"},  {COMPRESSION_LZW, false, "scanlzw"},
        {COMPRESSION_JPEG, true, "scanjpg"},       {COMPRESSION_NONE, false, "scan"},
    };
    for (int mode = 0; mode < kCompressionModeCount; ++mode)
        for (int keepName : {0, 1}) {
            PageSettings settings;
            std::string name = "scan";
            ASSERT_TRUE(applyCompressionMode(CompressionMode(mode), name, keepName, settings))
                << mode;
            EXPECT_EQ(settings.outputCompression, expected[mode].compression) << mode;
            EXPECT_EQ(settings.jpegColorModeRgb, expected[mode].jpegRgb) << mode;
            EXPECT_EQ(name, keepName ? "scan" : expected[mode].name) << mode;
        }
}

TEST(ApplyCompressionMode, RefusesAModeOutsideTheTableAfterClearingGroup3Options) {
    for (int mode : {-1, kCompressionModeCount, 100}) {
        PageSettings settings;
        settings.outputCompression = COMPRESSION_LZW;
        settings.group3Options = 5;
        std::string name = "a";
        EXPECT_FALSE(applyCompressionMode(CompressionMode(mode), name, 0, settings)) << mode;
        EXPECT_EQ(settings.group3Options, 0u);
        EXPECT_EQ(settings.outputCompression, COMPRESSION_LZW);
        EXPECT_EQ(name, "a");
    }
}

} // namespace
} // namespace pagesmith
