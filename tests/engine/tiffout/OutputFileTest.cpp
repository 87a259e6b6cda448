#include "engine/tiffout/OutputFile.h"
#include "base/PartialFile.h"
#include "support/TempDir.h"
#include "support/TiffFixtures.h"

#include <gtest/gtest.h>

#include <csignal>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace pagesmith {
namespace {

// Writes a one-strip page into the file, all but its directory.
[[maybe_unused]] bool writePixels(TIFF* tif) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 100u);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 100u);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 100u);
    std::vector<std::uint8_t> pixels(100 * 100, 0x80);
    return TIFFWriteEncodedStrip(tif, 0, pixels.data(), tmsize_t(pixels.size())) > 0;
}

// The page's directory goes into the file only when the output is committed;
// a size limit lets the pixels through but stops it. The commit fails, and
// the older file of the name is still there, alone.
TEST(OutputFile, ACommitWhoseFinalFlushFailsLeavesTheOlderFileAndMakesNone) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows has no per-process file size limit (RLIMIT_FSIZE) to stop a write";
#else
    test::TempDir dir;
    const std::string path = dir.file("out.tif");
    test::writeTiff(path, test::faxPage());
    const std::string olderBytes = test::readTextFile(path);

    const pid_t child = fork();
    if (child == 0) {
        OutputFile output;
        if (!output.open(path, false) || !writePixels(output.tiff()))
            _exit(2);
        std::signal(SIGXFSZ, SIG_IGN);
        const rlim_t written = rlim_t(8 + 100 * 100);
        const rlimit cap{written + 4, written + 4};
        setrlimit(RLIMIT_FSIZE, &cap);
        _exit(output.commit() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "2: no pixels written, 1: the commit went through";
    EXPECT_EQ(test::readTextFile(path), olderBytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
#endif
}

TEST(PartialFile, KnowsItsOwnNames) {
    for (const auto& [name, temporary] : std::vector<std::pair<std::string, bool>>{
             {"scan.tif.partial-Ab3dE9", true},
             {"pagesmith.partial-000000", true},
             {"scan.tif", false},
             {"scan.tif.partial-Ab3dE", false},
             {"scan.tif.partial-Ab3dE9x", false},
             {"scan.tif.partial-Ab3d.9", false},
         })
        EXPECT_EQ(isPartialFileName(name), temporary) << name;
}

} // namespace
} // namespace pagesmith
