#include "batch/FolderScan.h"

#include "base/Paths.h"
#include "batch/BatchRequest.h"
#include "batch/FileInfoText.h"
#include "platform/Utf8Paths.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <future>
#include <thread>

namespace pagesmith {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using test::TempDir;
using test::TestPage;

TestPage bilevel(std::uint16_t compression) {
    return test::faxPage(48, 12, compression);
}

TestPage grey(std::uint16_t compression) {
    TestPage page;
    page.compression = compression;
    return page;
}

// Links and FIFOs are Linux's: the Windows build's standard library makes no
// links, and Windows keeps its pipes out of the file system.
#ifdef _WIN32
constexpr bool kLinksAndFifos = false;
#else
constexpr bool kLinksAndFifos = true;
#endif

// The names a scan lists, without the link to a.tif where there is none.
std::vector<std::string> listed(std::vector<std::string> names) {
    if (!kLinksAndFifos)
        std::erase(names, "link.tif");
    return names;
}

std::string rel(std::initializer_list<const char*> parts) {
    std::string name;
    for (const char* part : parts)
        name = name.empty() ? part : joinPath(name, part);
    return name;
}

// Runs the scan on another thread so a scan stuck on a pipe fails the test
// instead of hanging it; the pipe is then opened for writing to free it.
void scanWithin(BatchRequest& request, const std::string& folder, int includeSubfolders,
                CompressionFilter filter, const std::vector<std::string>& pipes) {
    std::promise<void> done;
    std::future<void> finished = done.get_future();
    std::thread scan([&] {
        scanFolder(request, folder, includeSubfolders, filter);
        done.set_value();
    });
    if (finished.wait_for(seconds(20)) != std::future_status::ready) {
        ADD_FAILURE() << "the scan blocked";
#ifndef _WIN32
        for (const std::string& pipe : pipes) {
            const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
#else
        (void)pipes;
#endif
    }
    scan.join();
}

// a.tif (Group 4), b.txt, x.tif (text), y.dat (LZW TIFF), link.tif (link to
// a.tif), pipe.tif (FIFO), dangling.tif (link to nothing), sub/c.tif
// (PackBits), sub/e.txt, sub/loop (link to the top), sub/deeper/d.tif
// (Group 4), sub/deeper/empty/ and other/f.tif (uncompressed).
class ScanFolder : public ::testing::Test {
protected:
    void SetUp() override {
        const fs::path top = dir.path();
        fs::create_directories(top / "sub" / "deeper" / "empty");
        fs::create_directories(top / "other");
        test::writeTiff(top / "a.tif", bilevel(COMPRESSION_CCITTFAX4));
        test::writeTextFile(top / "b.txt", "text\n");
        test::writeTextFile(top / "x.tif", "text that claims to be an image\n");
        test::writeTiff(top / "y.dat", grey(COMPRESSION_LZW));
#ifndef _WIN32
        fs::create_symlink("a.tif", top / "link.tif");
        fs::create_symlink("nowhere.tif", top / "dangling.tif");
        ASSERT_EQ(::mkfifo((top / "pipe.tif").c_str(), 0600), 0);
        fs::create_directory_symlink("..", top / "sub" / "loop");
#endif
        test::writeTiff(top / "sub" / "c.tif", grey(COMPRESSION_PACKBITS));
        test::writeTextFile(top / "sub" / "e.txt", "more text\n");
        test::writeTiff(top / "sub" / "deeper" / "d.tif", bilevel(COMPRESSION_CCITTFAX4));
        test::writeTiff(top / "other" / "f.tif", grey(COMPRESSION_NONE));
        request.sourceFolder = dir.str();
    }

    void scan(int includeSubfolders, CompressionFilter filter) {
        scanWithin(request, dir.str(), includeSubfolders, filter, {dir.file("pipe.tif")});
    }

    TempDir dir;
    BatchRequest request;
};

TEST_F(ScanFolder, ListsTheTiffFilesOfTheFolderOnlyWithoutSubFolders) {
    scan(0, CompressionFilter::All);

    EXPECT_EQ(request.fileNames, listed({"a.tif", "link.tif", "y.dat"}));
    EXPECT_EQ(request.fileInfos.size(), request.fileNames.size());
    EXPECT_EQ(request.fileSelected, std::vector<int>(request.fileNames.size(), 1));
}

TEST_F(ScanFolder, ListsTiffFilesOfSubFoldersInNameOrderWhereTheyAreMet) {
    scan(1, CompressionFilter::All);

    const std::vector<std::string> found =
        listed({"a.tif", "link.tif", rel({"other", "f.tif"}), rel({"sub", "c.tif"}),
                rel({"sub", "deeper", "d.tif"}), "y.dat"});
    EXPECT_EQ(request.fileNames, found);
    EXPECT_EQ(request.fileInfos.size(), found.size());
    EXPECT_EQ(request.fileSelected, std::vector<int>(found.size(), 1));
}

TEST_F(ScanFolder, KeepsOnlyFilesWhoseFirstPagePassesTheFilter) {
    scan(1, CompressionFilter::Group4);
    EXPECT_EQ(request.fileNames, listed({"a.tif", "link.tif", rel({"sub", "deeper", "d.tif"})}));

    request.clearFiles();
    scan(1, CompressionFilter::PackBits);
    EXPECT_EQ(request.fileNames, std::vector<std::string>{rel({"sub", "c.tif"})});

    request.clearFiles();
    scan(0, CompressionFilter(-3)); // a negative code passes every TIFF file
    EXPECT_EQ(request.fileNames, listed({"a.tif", "link.tif", "y.dat"}));
}

TEST_F(ScanFolder, AppendsToTheListsWithoutClearingThem) {
    request.addFile("earlier.tif", "1,2000.01.01 12:00", 0);
    scan(0, CompressionFilter::Group4);

    std::vector<std::string> names = listed({"a.tif", "link.tif"});
    names.insert(names.begin(), "earlier.tif");
    EXPECT_EQ(request.fileNames, names);
    std::vector<int> selected(names.size(), 1);
    selected[0] = 0;
    EXPECT_EQ(request.fileSelected, selected);
}

TEST_F(ScanFolder, NamesFilesOfAnInnerFolderRelativeToTheSourceFolder) {
    scanWithin(request, dir.file("sub"), 1, CompressionFilter::All, {});

    EXPECT_EQ(request.fileNames,
              (std::vector<std::string>{rel({"sub", "c.tif"}), rel({"sub", "deeper", "d.tif"})}));
}

// The folder's order, whatever order the file system hands the entries out
// in: upper-cased names compared code unit by code unit, ties by the names.
TEST(ScanFolderOrder, TakesNamesInTheirUpperCaseOrderWhateverTheyWereCreatedIn) {
    std::vector<std::string> created = {
        "Zeta.tif", "_x.tif",    "page10.tif", "page1.tif",         "Page2.tif", "\xC3\x84rger.tif",
        "a b.tif",  "alpha.tif", "ALPHA.tif",  "\xC3\xA4rger2.tif", "b\xFF.tif", "B.tif"};
    std::vector<std::string> order = {
        "a b.tif",    "ALPHA.tif", "alpha.tif", "B.tif",  "b\xFF.tif",        "page1.tif",
        "page10.tif", "Page2.tif", "Zeta.tif",  "_x.tif", "\xC3\x84rger.tif", "\xC3\xA4rger2.tif"};
#ifdef _WIN32
    // Windows keeps one file of two names that differ only by case, and its
    // names are UTF-16: a name that is no UTF-8 cannot be made.
    for (const char* name : {"ALPHA.tif", "b\xFF.tif"}) {
        std::erase(created, name);
        std::erase(order, name);
    }
#endif
    TempDir dir;
    fs::create_directory(dir.path() / "sub");
    for (const std::string& name : created) {
        test::writeTiff(dir.path() / platform::pathFromUtf8(name), bilevel(COMPRESSION_NONE));
        test::writeTiff(dir.path() / "sub" / platform::pathFromUtf8(name),
                        bilevel(COMPRESSION_NONE));
    }
    BatchRequest request;
    request.sourceFolder = dir.str();
    scanFolder(request, dir.str(), 1, CompressionFilter::All);

    std::vector<std::string> expected = order;
    // "sub" comes between "Page2.tif" and "Zeta.tif", its files in the same order.
    const auto zeta = std::find(expected.begin(), expected.end(), "Zeta.tif");
    std::vector<std::string> inSub;
    for (const std::string& name : order)
        inSub.push_back(rel({"sub", name.c_str()}));
    expected.insert(zeta, inSub.begin(), inSub.end());
    EXPECT_EQ(request.fileNames, expected);
}

TEST_F(ScanFolder, KeepsTheFullPathOfAFolderOutsideTheSourceFolder) {
    request.sourceFolder = dir.file("other");
    scanWithin(request, dir.file("sub"), 0, CompressionFilter::All, {});
    EXPECT_EQ(request.fileNames, std::vector<std::string>{joinPath(dir.file("sub"), "c.tif")});
}

TEST_F(ScanFolder, AddsNothingForAMissingFolder) {
    scanWithin(request, dir.file("absent"), 1, CompressionFilter::All, {});
    EXPECT_TRUE(request.fileNames.empty());
    EXPECT_TRUE(request.fileInfos.empty());
    EXPECT_TRUE(request.fileSelected.empty());
}

TEST_F(ScanFolder, LeavesOutAFileItMayNotRead) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps who may read a file in access lists, which this test does not "
                    "set; its permission bits only make a file read-only";
#else
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
#endif
    fs::permissions(dir.path() / "y.dat", fs::perms::none);
    scan(0, CompressionFilter::All);
    EXPECT_EQ(request.fileNames, (std::vector<std::string>{"a.tif", "link.tif"}));
}

// Straight through the system, as the standard library refuses times that
// do not fit its clock.
void setWriteTime(const std::string& path, sys_seconds when) {
#ifdef _WIN32
    // FILETIME counts 100 ns from 1601, 11644473600 s before 1970.
    const std::uint64_t ticks =
        (std::uint64_t(when.time_since_epoch().count()) + 11644473600ull) * 10000000ull;
    const FILETIME time{DWORD(ticks & 0xFFFFFFFF), DWORD(ticks >> 32)};
    const HANDLE file = CreateFileW(platform::pathFromUtf8(path).c_str(), FILE_WRITE_ATTRIBUTES, 0,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const bool set = SetFileTime(file, nullptr, &time, &time);
    CloseHandle(file);
    ASSERT_TRUE(set) << path;
#else
    const timespec times[2] = {{when.time_since_epoch().count(), 0},
                               {when.time_since_epoch().count(), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
#endif
}

TEST_F(ScanFolder, DescribesEachFileBySizeAndUtcWriteTimeOnTheTwentyFourHourClock) {
    setWriteTime(dir.file("a.tif"), sys_days{2009y / July / 19} + 15h + 26min + 59s);
    setWriteTime(dir.file("y.dat"), sys_days{2021y / January / 3} + 0h + 5min);
    scan(0, CompressionFilter::All);

    for (std::size_t i = 0; i < request.fileNames.size(); ++i) {
        const std::string size = std::to_string(fs::file_size(dir.file(request.fileNames[i])));
        if (request.fileNames[i] != "y.dat") // a.tif and the link to it
            EXPECT_EQ(request.fileInfos[i], size + ",2009.07.19 15:26");
        else
            EXPECT_EQ(request.fileInfos[i], size + ",2021.01.03 00:05");
    }
}

TEST_F(ScanFolder, ShowsTheLow32BitsOfAFileOverFourGigabytes) {
    const std::string big = dir.file("big.tif");
    test::writeTiff(big, grey(COMPRESSION_NONE));
    const std::uintmax_t size = (std::uintmax_t(5) << 30) + 1234; // sparse, costs no space
    fs::resize_file(big, size);
    request.sourceFolder = dir.str();
    scan(0, CompressionFilter::All);

    const auto at = std::find(request.fileNames.begin(), request.fileNames.end(), "big.tif");
    ASSERT_NE(at, request.fileNames.end());
    const std::string& info = request.fileInfos[at - request.fileNames.begin()];
    EXPECT_EQ(info.substr(0, info.find(',') + 1), std::to_string((1u << 30) + 1234) + ",");
}

TEST_F(ScanFolder, WritesOnlyTheSizeWhenTheWriteTimeCannotBeRead) {
    // libstdc++ refuses file times past 2262; where they read, this case has
    // no way to arise.
    setWriteTime(dir.file("y.dat"), sys_days{2300y / January / 1});
    std::error_code error;
    (void)fs::last_write_time(dir.file("y.dat"), error);
    if (!error)
        GTEST_SKIP() << "this library reads the time";
    scan(0, CompressionFilter::Lzw);

    ASSERT_EQ(request.fileNames, std::vector<std::string>{"y.dat"});
    EXPECT_EQ(request.fileInfos[0], std::to_string(fs::file_size(dir.file("y.dat"))) + ",");
}

TEST(FileInfoText, FormatsDateAndTimeOnTheTwentyFourHourClockWithLeadingZeros) {
    const sys_days day = 2009y / July / 9;
    EXPECT_EQ(fileInfoText(1234, day + 3h + 26min), "1234,2009.07.09 03:26");
    EXPECT_EQ(fileInfoText(1234, day + 15h + 7min + 59s), "1234,2009.07.09 15:07");
    EXPECT_EQ(fileInfoText(0, day), "0,2009.07.09 00:00");
    EXPECT_EQ(fileInfoText(7, day + 12h + 1min), "7,2009.07.09 12:01");
    EXPECT_EQ(fileInfoText(7, day + 23h + 59min), "7,2009.07.09 23:59");
    EXPECT_EQ(fileInfoText(7, sys_days{1969y / December / 31} + 23h + 30min), "7,1969.12.31 23:30");
    EXPECT_EQ(fileInfoText(std::uintmax_t(1) << 32, std::nullopt), "0,");
    EXPECT_EQ(fileInfoText(4294967295u, std::nullopt), "4294967295,");
}

TEST(EnsureFolder, CreatesEveryMissingLevelOfAPath) {
    TempDir dir;
    const std::string target = rel({dir.str().c_str(), "out", "a", "b"});

    EXPECT_NE(ensureFolder(target), 0);
    EXPECT_TRUE(fs::is_directory(dir.path() / "out"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "out" / "a"));
    EXPECT_TRUE(fs::is_directory(target));
}

TEST(EnsureFolder, SucceedsOnAnExistingFolderWithoutTouchingAnything) {
    TempDir dir;
    fs::create_directory(dir.path() / "out");
    test::writeTextFile(dir.path() / "out" / "keep.txt", "kept");
    const fs::path before = fs::current_path();

    EXPECT_NE(ensureFolder(dir.file("out")), 0);
    EXPECT_NE(ensureFolder(dir.str()), 0);
    EXPECT_NE(ensureFolder(std::string(1, kPathSeparator)), 0);
    EXPECT_EQ(test::readTextFile(dir.path() / "out" / "keep.txt"), "kept");
    EXPECT_EQ(fs::current_path(), before);
}

TEST(EnsureFolder, FailsWhereAFileStandsInTheWay) {
    TempDir dir;
    test::writeTextFile(dir.path() / "plain", "a file");

    EXPECT_EQ(ensureFolder(dir.file("plain")), 0);
    EXPECT_EQ(ensureFolder(rel({dir.str().c_str(), "plain", "a", "b"})), 0);
    EXPECT_TRUE(fs::is_regular_file(dir.path() / "plain"));
    EXPECT_EQ(ensureFolder(""), 0);
}

} // namespace
} // namespace pagesmith
