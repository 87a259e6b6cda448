#include "app/WindowOption.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pagesmith {
namespace {

struct WindowOptionCase {
    std::vector<const char*> arguments; // after the program's name
    std::optional<std::vector<std::string>> paths;
};

// "--window" counts only as the first argument; anything else is a batch's.
TEST(WindowOption, OpensTheWindowOnlyAsTheFirstArgumentWithAbsolutePaths) {
    const std::string here = std::filesystem::current_path().string();
    const WindowOptionCase cases[] = {
        {{}, std::nullopt},
        {{"--window"}, std::vector<std::string>{}},
        {{"--window", "/scans/in", "a b.tif", "../up/./c.tif", ""},
         std::vector<std::string>{
             // On Windows a path from the root is on the current drive.
             std::filesystem::absolute("/scans/in").make_preferred().string(),
             (std::filesystem::path(here) / "a b.tif").make_preferred().string(),
             (std::filesystem::path(here).parent_path() / "up/c.tif").make_preferred().string()}},
        {{"/d=/scans", "--window"}, std::nullopt},
        {{"--window=/scans"}, std::nullopt},
        {{"/q"}, std::nullopt},
    };
    for (const WindowOptionCase& each : cases) {
        std::vector<const char*> argv{"pagesmith"};
        argv.insert(argv.end(), each.arguments.begin(), each.arguments.end());
        EXPECT_EQ(windowOptionPaths(int(argv.size()), argv.data()), each.paths)
            << (each.arguments.empty() ? "" : each.arguments.front());
    }
}

} // namespace
} // namespace pagesmith
