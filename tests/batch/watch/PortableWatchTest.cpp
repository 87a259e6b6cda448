#include "batch/watch/HotFolder.h"
#include "platform/Utf8Paths.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace pagesmith {
namespace {

namespace fs = std::filesystem;

// Waits for a file the watch is to write; the limit is generous.
bool appears(const fs::path& path) {
    for (int i = 0; i < 3000 && !fs::exists(path); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return fs::exists(path);
}

// The source of events other platforms use (Qt's watcher, which tells only
// that the folder changed) drives the same watch: the backlog, then a file
// moved in, taken once it has settled. It ends when told to, or when a stop
// signal is noted on another thread (as Windows' console handler does).
class PortableWatch : public ::testing::TestWithParam<bool> {};

TEST_P(PortableWatch, ConvertsTheBacklogAndArrivalsThroughQtsWatcher) {
    const bool bySignal = GetParam();
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    test::TempDir home;
    // Names beyond ASCII, which Windows' narrow paths would not carry.
    const fs::path in = home.path() / platform::pathFromUtf8("Eingang \xC3\xA4");
    const fs::path out = home.path() / "out";
    fs::create_directories(in);
    test::writeTiff(in / "old.tif", test::faxPage());
    const fs::path arrival = platform::pathFromUtf8("\xC3\x9C" "berweisung \xC3\xA4.tif");
    test::writeTiff(home.path() / arrival, test::faxPage());

    BatchRequest request;
    request.reset();
    request.sourceFolder = platform::utf8FromPath(in);
    request.saveFolder = platform::utf8FromPath(out);
    request.operation = BatchOperation::ConvertIntoFolder;
    request.options.compressionMode = CompressionMode::Lzw;
    request.options.keepName = 1;
    request.watch.on = 1;
    request.watch.settleMilliseconds = 200;
    HotFolderObserver observer;
    HotFolder watch(request, {}, observer, openPortableFolderEvents());
    std::atomic<int> stopSignal{0};

    bool sawOld = false;
    bool sawNew = false;
    std::thread arrivals([&] {
        sawOld = appears(out / "old.tif");
        fs::rename(home.path() / arrival, in / arrival);
        sawNew = appears(out / arrival);
        if (bySignal)
            stopSignal = 2;
        else
            watch.stop();
    });
    const WatchCounts counts = watch.run(&stopSignal);
    arrivals.join();

    EXPECT_TRUE(sawOld);
    EXPECT_TRUE(sawNew);
    EXPECT_EQ(counts.converted, 2);
    EXPECT_EQ(counts.failed, 0);
    EXPECT_EQ(test::countPages(out / arrival), 1);
}

INSTANTIATE_TEST_SUITE_P(EndedBy, PortableWatch, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "StopSignal" : "Stop"; });

} // namespace
} // namespace pagesmith
