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
    EXPECT_EQ(joined({"/m=a b.tif,c.tif"}), "/m=\"a b.tif,c.tif\"");
}

TEST(CommandLineText, LeavesArgumentsThatAlreadyHoldQuotesAlone) {
    EXPECT_EQ(joined({"/d=\"/my scans\""}), "/d=\"/my scans\"");
    EXPECT_EQ(joined({"/f=/in/a\" /log=/x.txt \"/scan.tif", "/q"}),
              "/f=/in/a\" /log=/x.txt \"/scan.tif /q");
}

// The options are read from these, one each, never from the joined text.
TEST(CommandLineText, ArgumentsStayWholeAndInOrder) {
    const std::vector<const char*> argv = {"pagesmith", "/d=/my scans", nullptr, "/q"};
    EXPECT_EQ(commandLineArguments(int(argv.size()), argv.data()),
              (std::vector<std::string>{"/d=/my scans", "", "/q"}));
    EXPECT_TRUE(commandLineArguments(1, argv.data()).empty());
}

} // namespace
} // namespace pagesmith
