#include "app/CommandLineText.h"

#include <gtest/gtest.h>

namespace pagesmith {
namespace {

std::optional<std::string> joined(std::vector<const char*> arguments) {
    arguments.insert(arguments.begin(), "pagesmith");
    return commandLineText(int(arguments.size()), arguments.data());
}

TEST(CommandLineText, NoArgumentsIsNoTextAndOneEmptyArgumentIsEmptyText) {
    EXPECT_EQ(joined({}), std::nullopt);
    EXPECT_EQ(joined({""}), std::optional<std::string>(""));
}

TEST(CommandLineText, JoinsArgumentsWithSingleBlanks) {
    EXPECT_EQ(joined({"/d=/in", "/sd=/out", "/q"}), "/d=/in /sd=/out /q");
}

TEST(CommandLineText, QuotesTheValueOfAnArgumentWithBlanks) {
    EXPECT_EQ(joined({"/d=/my scans", "/q"}), "/d=\"/my scans\" /q");
    EXPECT_EQ(joined({"/log=/tmp/a\tb.txt"}), "/log=\"/tmp/a\tb.txt\"");
    EXPECT_EQ(joined({"two words"}), "\"two words\"");
}

TEST(CommandLineText, LeavesArgumentsThatAlreadyHoldQuotesAlone) {
    EXPECT_EQ(joined({"/d=\"/my scans\""}), "/d=\"/my scans\"");
}

} // namespace
} // namespace pagesmith
