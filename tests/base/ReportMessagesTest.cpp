#include "base/ReportMessages.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace pagesmith {
namespace {

// Each code has a phrase, and no phrase is written twice under two codes.
TEST(ReportMessages, EveryCodeHasAPhraseOfItsOwn) {
    std::set<std::string> seen;
    for (std::size_t code = 0; code < messages::kCount; ++code) {
        const char* text = messageText(ReportMessage(code));
        ASSERT_NE(text, nullptr) << code;
        EXPECT_NE(std::string(text), "") << code;
        EXPECT_TRUE(seen.insert(text).second) << text;
    }
}

// A line reads as it always has; as a failure's reason it says the same
// without the engine's lead and the line end.
TEST(ReportMessages, ALineCarriesItsReasonWithoutLeadOrLineEnd) {
    struct Case {
        ReportLine line;
        const char* text;
        const char* reason;
    };
    const Case cases[] = {
        {reportLine<ReportMessage::PageDamaged>(3, 5ull, 7u),
         "  -- Page 3 damaged: 5 of 7 rows could not be read, left blank\r\n",
         "Page 3 damaged: 5 of 7 rows could not be read, left blank"},
        {reportLine<ReportMessage::NotATiffFile>(std::string("a b.tif")),
         "Failed to get tiff page(s) of a b.tif : NOT a tiff file or file not exist \r\n",
         "Failed to get tiff page(s) of a b.tif : NOT a tiff file or file not exist"},
        {reportLine<ReportMessage::Reason>(std::string("  -- as given ")),
         "  --   -- as given \r\n", "  -- as given "},
        {reportLine<ReportMessage::MergeLine>("a.tif", "m.tif"), "Merge:   a.tif -> m.tif\r\n",
         "Merge:   a.tif -> m.tif"},
        {reportLine<ReportMessage::FilesConverted>(2), " (2) tiff file(s) converted\n",
         "(2) tiff file(s) converted"},
        {reportLine<ReportMessage::WindowTotal>(0),
         "Total 0 tiff file(s) are convertered/merged.\r\n",
         "Total 0 tiff file(s) are convertered/merged."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.line.text, c.text);
        EXPECT_EQ(c.line.reason, c.reason);
    }
}

// The checker the compiler runs on every message's arguments.
TEST(ReportMessages, ArgumentsMustFitTheFormat) {
    using messages::Argument;
    using messages::argumentsFit;
    const Argument number[] = {Argument::Int}, text[] = {Argument::Text},
                   numbers[] = {Argument::Int, Argument::UnsignedLongLong, Argument::Unsigned};
    EXPECT_TRUE(argumentsFit("  -- Page %d failed\r\n", number, 1));
    EXPECT_FALSE(argumentsFit("  -- Page %d failed\r\n", text, 1));
    EXPECT_FALSE(argumentsFit("  -- Page %d failed\r\n", number, 0));
    EXPECT_TRUE(argumentsFit("%d: %llu of %u, 100%%", numbers, 3));
    EXPECT_FALSE(argumentsFit("%d: %lu of %u", numbers, 3));
    EXPECT_FALSE(argumentsFit("no arguments", number, 1));
}

} // namespace
} // namespace pagesmith
