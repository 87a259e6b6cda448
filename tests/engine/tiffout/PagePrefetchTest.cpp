#include "engine/tiffout/PagePrefetch.h"

#include "engine/tiffout/CopySupport.h"
#include "support/CopyTestSupport.h"
#include "support/FaxFixtures.h"

#include <gtest/gtest.h>

#include <cstring>

namespace pagesmith {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::TestPage;

// A page of 7 strips, uncompressed unless asked: another file written with
// other pixels has the same directory where this one has it.
TestPage stripedPage(unsigned seed, std::uint16_t compression = COMPRESSION_NONE) {
    TestPage page = test::testPage(300, 100, 8, 1, PLANARCONFIG_CONTIG, compression, 16);
    page.pixels = test::patternPixels(page, seed);
    return page;
}

// The page `in` is on as the run reads it: its strips' sizes, and each strip
// read through `in` itself.
struct ReadStrips {
    std::vector<tmsize_t> counts;
    std::size_t bufferBytes = 0;
    std::vector<std::string> strips;
};

ReadStrips readStrips(TIFF* in) {
    ReadStrips read;
    std::uint32_t length = 0;
    TIFFGetField(in, TIFFTAG_IMAGELENGTH, &length);
    read.bufferBytes = byteCount(TIFFStripSize(in)).value_or(0);
    read.counts = stripByteCounts(in, length, read.bufferBytes).value_or(std::vector<tmsize_t>{});
    for (tstrip_t s = 0; s < read.counts.size(); ++s) {
        std::string bytes(std::size_t(read.counts[s]), '\0');
        TIFFReadEncodedStrip(in, s, bytes.data(), read.counts[s]);
        read.strips.push_back(bytes);
    }
    return read;
}

// Strips taken from the page decoded ahead until the first it refuses; each
// taken strip must be the strip the run reads itself.
std::size_t stripsHandedOver(PrefetchedPage& page, const ReadStrips& read) {
    ByteBuffer buffer(read.bufferBytes);
    std::size_t taken = 0;
    while (taken < read.counts.size() && page.take(std::uint32_t(taken), buffer)) {
        EXPECT_EQ(std::memcmp(buffer.data(), read.strips[taken].data(), read.strips[taken].size()),
                  0)
            << "strip " << taken << " is not the strip read";
        ++taken;
    }
    return taken;
}

void replaceFile(const fs::path& path, const std::vector<TestPage>& pages) {
    const fs::path other = path.string() + ".new";
    test::writeTiff(other, pages);
    fs::rename(other, path);
}

enum class Next { PageOfTheFile, NextFile, NextFileReplaced, FileInHandReplaced };

// Decodes the page after the run's page ahead, as `next` says the run goes
// on, and says whether the page read then was handed over, whole.
void checkPageAfter(Next next) {
    TempDir dir;
    const bool sameFile = next == Next::PageOfTheFile || next == Next::FileInHandReplaced;
    test::writeTiff(dir.path() / "a.tif", sameFile ? std::vector{stripedPage(1), stripedPage(2)}
                                                   : std::vector{stripedPage(1)});
    test::writeTiff(dir.path() / "b.tif", stripedPage(3));
    TiffHandle in = test::openPage(dir.path() / "a.tif");
    TiffHandle nextIn = test::openPage(dir.path() / "b.tif");
    if (next == Next::NextFileReplaced)
        replaceFile(dir.path() / "b.tif", {stripedPage(4)});
    if (next == Next::FileInHandReplaced)
        replaceFile(dir.path() / "a.tif", {stripedPage(1), stripedPage(5)});

    CoreBudget budget(2);
    {
        const ConversionOptions options;
        const PageSettings settings; // no output codec: decoded ahead, not encoded
        PagePrefetch prefetch(&budget, options, settings);
        prefetch.setInput(true, sameFile ? std::string() : dir.file("b.tif"));
        prefetch.decodePageAfter(in.get());
        TIFF* read = sameFile ? in.get() : nextIn.get();
        if (sameFile) {
            ASSERT_TRUE(TIFFReadDirectory(read));
        }
        const ReadStrips strips = readStrips(read);
        const auto page = prefetch.take(read, strips.counts, strips.bufferBytes);
        const bool used = next == Next::PageOfTheFile || next == Next::NextFile;
        ASSERT_EQ(page != nullptr, used);
        if (page) {
            EXPECT_EQ(stripsHandedOver(*page, strips), strips.counts.size());
        }
    }
    EXPECT_EQ(budget.freeNow(), 1);
}

// The page after the run's page is handed over when it is the page the run
// then reads: the next page of the same file, or the first of the next file.
TEST(PagePrefetch, HandsOverThePageAfterWhenItIsThePageTheRunReads) {
    for (const auto& [next, name] :
         {std::pair{Next::PageOfTheFile, "the next page of the file"},
          std::pair{Next::NextFile, "the first page of the next file"}}) {
        SCOPED_TRACE(name);
        checkPageAfter(next);
    }
}

// Never the page of a file put in the place of the one read, whether that
// happens to the file in hand or to the next one.
TEST(PagePrefetch, NeverHandsOverThePageOfAFilePutInThePlaceOfOneRead) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows does not let a file be put in the place of one that is open";
#endif
    for (const auto& [next, name] :
         {std::pair{Next::NextFileReplaced, "the next file, replaced after the run opened it"},
          std::pair{Next::FileInHandReplaced, "the file in hand, replaced"}}) {
        SCOPED_TRACE(name);
        checkPageAfter(next);
    }
}

// With a core free for it, the page after is always decoded ahead; a
// damaged strip in it is not handed over, nor any strip after it, so that
// the run reads them itself as a one-thread run does.
TEST(PagePrefetch, HandsOverTheStripsBeforeADamagedOneAndNoneFromIt) {
    for (std::uint32_t damaged : {0u, 3u, 6u})
        for (int cores : {2, 3}) {
            SCOPED_TRACE(testing::Message() << "strip " << damaged << ", " << cores << " cores");
            TempDir dir;
            test::writeTiff(dir.path() / "a.tif", stripedPage(1));
            test::writeTiff(dir.path() / "b.tif", stripedPage(2, COMPRESSION_LZW));
            test::damageStrip(dir.path() / "b.tif", damaged);
            TiffHandle in = test::openPage(dir.path() / "a.tif");
            CoreBudget budget(cores);
            const ConversionOptions options;
            const PageSettings settings;
            PagePrefetch prefetch(&budget, options, settings);
            prefetch.setInput(true, dir.file("b.tif"));
            prefetch.decodePageAfter(in.get());
            in = test::openPage(dir.path() / "b.tif");
            const ReadStrips strips = readStrips(in.get());
            const auto page = prefetch.take(in.get(), strips.counts, strips.bufferBytes);
            ASSERT_TRUE(page) << "not decoded ahead";
            EXPECT_EQ(stripsHandedOver(*page, strips), damaged);
        }
}

} // namespace
} // namespace pagesmith
