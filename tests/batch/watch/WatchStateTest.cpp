#include "batch/watch/WatchState.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace pagesmith {
namespace {

namespace fs = std::filesystem;

TEST(WatchState, KeepsEveryNameAcrossASaveAndALoad) {
    test::TempDir folder;
    const std::string path = folder.file(WatchState::kFileName);
    const std::vector<std::string> names = {
        folder.file("plain.tif"), folder.file("two words.tif"), folder.file("line\nbreak.tif"),
        folder.file("back\\slash\\n.tif"), folder.file("caf\xc3\xa9.tif")};
    WatchState saved(path);
    for (std::size_t i = 0; i < names.size(); ++i)
        saved.record(names[i], FileStamp{i * 1000, -std::int64_t(i) * 7});
    ASSERT_TRUE(saved.save());

    WatchState loaded(path);
    loaded.load();
    EXPECT_EQ(loaded.size(), names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        EXPECT_TRUE(loaded.isHandled(names[i], FileStamp{i * 1000, -std::int64_t(i) * 7}))
            << names[i];
        // Another version of the same file is not handled.
        EXPECT_FALSE(loaded.isHandled(names[i], FileStamp{i * 1000 + 1, -std::int64_t(i) * 7}));
    }
    // Nothing was left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path()), fs::directory_iterator()), 1);
}

TEST(WatchState, FindsAFileHoweverItsFolderIsSpelled) {
    test::TempDir folder;
    WatchState state(folder.file(WatchState::kFileName));
    const FileStamp stamp{10, 20};
    state.record(folder.file("a.tif"), stamp);
    EXPECT_TRUE(state.isHandled((folder.path() / "." / "a.tif").string(), stamp));
    EXPECT_TRUE(state.isHandled((folder.path() / "x" / ".." / "a.tif").string(), stamp));
}

TEST(WatchState, StartsEmptyFromAMissingOrForeignFile) {
    test::TempDir folder;
    WatchState missing(folder.file("none"));
    missing.load();
    EXPECT_EQ(missing.size(), 0u);

    test::writeTextFile(folder.path() / "foreign", "10 20 /a.tif\n");
    WatchState foreign(folder.file("foreign"));
    foreign.load();
    EXPECT_EQ(foreign.size(), 0u);
}

TEST(WatchState, StampsChangeWhenAFileIsTouchedOrGrows) {
    test::TempDir folder;
    const fs::path file = folder.path() / "a.tif";
    test::writeTextFile(file, "abc");
    const std::optional<FileStamp> first = stampOf(file.string());
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size, 3u);
    fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
    EXPECT_NE(stampOf(file.string()), first);
    EXPECT_FALSE(stampOf(folder.file("missing.tif")));
    EXPECT_FALSE(stampOf(folder.str())); // a folder has no stamp
}

} // namespace
} // namespace pagesmith
