#pragma once

#include "base/ByteBuffer.h"
#include "base/MemoryLimits.h"
#include "engine/ConversionOptions.h"
#include "engine/threads/BoundedQueue.h"
#include "engine/threads/CoreBudget.h"
#include "engine/threads/JoiningThread.h"
#include "engine/threads/PageAddress.h"
#include "engine/tiffout/PageSettings.h"

#include <tiffio.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace pagesmith {

// The output tags that decide how a page's strips are encoded.
struct StripEncoding {
    std::uint32_t width = 0, length = 0, rowsPerStrip = 0, group3Options = 0, group4Options = 0;
    std::uint16_t compression = 0, photometric = 0, fillOrder = 0, bitsPerSample = 0,
                  samplesPerPixel = 0, planar = 0, predictor = 0;
    tstrip_t strips = 0;
    bool operator==(const StripEncoding&) const = default;
    static StripEncoding of(TIFF* out);
};

// One page decoded ahead, strip by strip, as a page copy will ask for it; or
// decoded and encoded ahead, as the copy would encode it.
class PrefetchedPage {
public:
    enum class RawWrite { NotEncoded, Written, Failed };
    // Writes the strips encoded ahead into the output page, when the page
    // was encoded ahead with exactly the output's encoding.
    RawWrite writeEncoded(TIFF* out);

    // Hands over strip `strip` (taken in order) by exchanging buffers, as
    // DecodeAhead::take does: false from the first strip not read whole on,
    // and then the caller reads that strip and every later one itself.
    bool take(std::uint32_t strip, ByteBuffer& buffer);

private:
    friend class PagePrefetch;
    struct Strip {
        ByteBuffer bytes;
        bool whole = false;
    };

    // Whether this is the page `in` is on, decoded for these strips.
    bool isPageOf(const PageAddress& in, const std::vector<tmsize_t>& counts,
                  std::size_t bufferBytes) const;

    // Filled in by the decoding thread before its first strip.
    std::mutex m_mutex;
    std::condition_variable m_planned;
    bool m_isPlanned = false;
    bool m_usable = false;
    PageAddress m_address; // of the page decoded
    std::vector<tmsize_t> m_counts;
    std::size_t m_bufferBytes = 0;
    // As deep as the page has strips: the thread never waits for the run to
    // take them (the page is at most kMostPageBytesAhead).
    std::optional<BoundedQueue<Strip>> m_strips;

    // A page encoded ahead: its strips as they go into the file.
    bool m_encoded = false;
    StripEncoding m_encoding;
    std::vector<ByteBuffer> m_raw;
    std::vector<tmsize_t> m_rawBytes;

    std::atomic<bool> m_dropped = false;
    bool m_handedOver = false;

    // Where the page is: the page after `after` (none when that was its
    // file's last), or else the first page of `nextFile`; and the run's
    // settings when it was asked for.
    PageAddress m_after;
    std::string m_nextFile;
    PageSettings m_settings;
};

// Decodes the next page of a run ahead, on a thread of its own with handles
// of its own, while the run writes the page before, so that multi-page files
// and merges of small pages overlap page by page. Only pages stored in strips
// with samples interleaved and read as they are stored (a JPEG page's colour
// mode is only set when the page is set up), small enough to hold whole.
//
// Where the output's codec encodes each strip on its own (none, PackBits,
// LZW, Group 3, Group 4) and every strip reads whole, the page is encoded
// ahead too: into a file in memory with the directory the run's page set-up
// gives it, whose strips the run then writes as they are. Such pages take
// turns: the run converts one page itself while this thread converts the
// next, so encoding shares the cores too.
//
// A page is asked for only with a spare core of the budget, taken as it is
// asked for; the thread holds it until the pages asked for are done. With
// none to spare, pages are not decoded ahead.
class PagePrefetch {
public:
    // `options` and `settings` are the run's, read when a page is asked for.
    PagePrefetch(CoreBudget* cores, const ConversionOptions& options, const PageSettings& settings);
    ~PagePrefetch();
    PagePrefetch(const PagePrefetch&) = delete;
    PagePrefetch& operator=(const PagePrefetch&) = delete;

    // The input in hand: whether its pages are read in order (not through a
    // page list), and the run's next input, whose first page follows its last
    // page (empty when there is none or it is read through a page list).
    void setInput(bool pagesInOrder, std::string nextFile);

    // Asks for the page after the one `in` is on to be decoded ahead, when
    // the input's pages are read in order and a core is free or already held.
    void decodePageAfter(TIFF* in);

    // The page `in` is on (the same file, not one put in its place since,
    // and the same directory), decoded ahead for these strip byte counts and
    // buffers of `bufferBytes`; nothing when it was not. Pages decoded ahead
    // and not taken are dropped.
    std::shared_ptr<PrefetchedPage> take(TIFF* in, const std::vector<tmsize_t>& counts,
                                         std::size_t bufferBytes);

    // Whether a page of this many decoded bytes is decoded ahead whole (when
    // there is a core to spare); larger pages are decoded ahead strip by strip
    // by their copy (DecodeAhead).
    static bool fitsWhole(std::size_t pageBytes);

private:
    void work();
    void decode(PrefetchedPage& page);
    // Encodes the decoded page as the run would; false when it cannot.
    bool encode(TIFF* in, PrefetchedPage& page, const std::vector<ByteBuffer>& strips);

    CoreBudget* m_cores;
    const ConversionOptions& m_options;
    const PageSettings& m_runSettings;
    bool m_pagesInOrder = false;
    std::string m_nextFile;
    std::deque<std::shared_ptr<PrefetchedPage>> m_asked; // oldest first
    BoundedQueue<std::shared_ptr<PrefetchedPage>> m_requests{kPagesAskedAhead};
    // The thread's core: taken when a page is asked for and none is held,
    // given back once every page asked for is done.
    std::mutex m_coreMutex;
    CoreLease m_core;
    int m_pagesUndone = 0;
    JoiningThread m_thread;
};

} // namespace pagesmith
