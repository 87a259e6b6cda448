#include "engine/PagePrefetch.h"

#include "engine/CopySupport.h"
#include "engine/CoreBudget.h"
#include "tiff/OpenForReading.h"

#include <sys/stat.h>

namespace pagesmith {

namespace {

// The largest page decoded ahead whole: a one-bit A4 page at 600 dpi.
constexpr std::size_t kMostPageBytes = std::size_t(4) << 20;

bool identify(TIFF* tif, std::uint64_t& device, std::uint64_t& inode) {
    struct stat info;
    if (!tif || ::fstat(TIFFFileno(tif), &info) != 0)
        return false;
    device = std::uint64_t(info.st_dev);
    inode = std::uint64_t(info.st_ino);
    return true;
}

// The page after `after` in `file`, or the first page of `nextFile`.
TiffHandle openPageAfter(const std::string& file, std::uint64_t after,
                         const std::string& nextFile) {
    TiffHandle tif = openTiffForReading(file, "rm");
    if (tif && TIFFSetSubDirectory(tif.get(), after) && TIFFReadDirectory(tif.get()))
        return tif;
    return nextFile.empty() ? TiffHandle() : openTiffForReading(nextFile, "rm");
}

bool decodesAsStored(TIFF* tif) {
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    return !TIFFIsTiled(tif) && planarConfig(tif) == PLANARCONFIG_CONTIG &&
           compression != COMPRESSION_JPEG && compression != COMPRESSION_OJPEG;
}

} // namespace

bool PrefetchedPage::take(std::uint32_t strip, ByteBuffer& buffer) {
    if (m_handedOver || strip >= m_counts.size() || buffer.size() != m_bufferBytes)
        return false;
    std::optional<Strip> next = m_strips.pop();
    if (!next || !next->whole) {
        m_handedOver = true;
        m_dropped = true;
        return false;
    }
    std::swap(buffer, next->bytes);
    return true;
}

PagePrefetch::PagePrefetch(CoreBudget* cores) : m_cores(cores) {}

PagePrefetch::~PagePrefetch() {
    for (const auto& page : m_asked)
        page->m_dropped = true;
    m_requests.close();
    if (m_thread.joinable())
        m_thread.join();
}

void PagePrefetch::setInput(bool pagesInOrder, std::string nextFile) {
    m_pagesInOrder = pagesInOrder;
    m_nextFile = std::move(nextFile);
}

void PagePrefetch::decodePageAfter(TIFF* in) {
    const char* name = TIFFFileName(in);
    if (!m_cores || !m_pagesInOrder || !name || !*name)
        return;
    // Nothing follows, or no core is free to decode it (the threads of a
    // folder batch hold them all): not worth a thread and a look.
    const bool pageFollows = !TIFFLastDirectory(in) || !m_nextFile.empty();
    if (!pageFollows || m_cores->freeNow() == 0)
        return;
    // The thread comes with the first page asked for.
    if (!m_thread.joinable())
        m_thread = std::thread([this] { work(); });
    auto page = std::make_shared<PrefetchedPage>();
    page->m_file = name;
    page->m_after = TIFFCurrentDirOffset(in);
    page->m_nextFile = m_nextFile;
    m_asked.push_back(page);
    m_requests.push(std::move(page));
}

std::shared_ptr<PrefetchedPage> PagePrefetch::take(TIFF* in, const std::vector<tmsize_t>& counts,
                                                   std::size_t bufferBytes) {
    std::uint64_t device = 0, inode = 0;
    if (!identify(in, device, inode))
        return nullptr;
    const std::uint64_t offset = TIFFCurrentDirOffset(in);
    while (!m_asked.empty()) {
        std::shared_ptr<PrefetchedPage> page = std::move(m_asked.front());
        m_asked.pop_front();
        std::unique_lock lock(page->m_mutex);
        page->m_planned.wait(lock, [&] { return page->m_isPlanned; });
        if (page->m_usable && page->m_device == device && page->m_inode == inode &&
            page->m_offset == offset && page->m_counts == counts &&
            page->m_bufferBytes == bufferBytes)
            return page;
        page->m_dropped = true; // a page this run did not copy strip by strip
    }
    return nullptr;
}

void PagePrefetch::work() {
    bool holdsCore = false;
    while (true) {
        std::optional<std::shared_ptr<PrefetchedPage>> page = m_requests.tryPop();
        if (!page) {
            // Nothing asked for now: the core goes back while this waits.
            if (holdsCore)
                m_cores->give();
            holdsCore = false;
            page = m_requests.pop();
            if (!page)
                return;
        }
        decode(**page, holdsCore);
        // Whatever was decoded is there; the page waits for nothing more.
        (*page)->m_strips.close();
    }
}

void PagePrefetch::decode(PrefetchedPage& page, bool& holdsCore) {
    TiffHandle tif;
    if (!page.m_dropped)
        tif = openPageAfter(page.m_file, page.m_after, page.m_nextFile);
    std::uint32_t length = 0;
    std::optional<std::vector<tmsize_t>> counts;
    const auto stripBytes = tif ? byteCount(TIFFStripSize(tif.get())) : std::nullopt;
    if (tif && decodesAsStored(tif.get()) && stripBytes &&
        TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &length))
        counts = stripByteCounts(tif.get(), length, *stripBytes);
    const bool worthIt = counts && !counts->empty() && fitsWhole(counts->size() * *stripBytes);
    // A core only for a page there is to decode.
    if (worthIt && !holdsCore)
        holdsCore = m_cores->tryTake();
    {
        std::lock_guard lock(page.m_mutex);
        page.m_usable = worthIt && holdsCore && identify(tif.get(), page.m_device, page.m_inode);
        if (page.m_usable) {
            page.m_offset = TIFFCurrentDirOffset(tif.get());
            page.m_counts = std::move(*counts);
            page.m_bufferBytes = *stripBytes;
        }
        page.m_isPlanned = true;
        page.m_planned.notify_all();
    }
    if (!page.m_usable)
        return;
    for (std::uint32_t s = 0; s < page.m_counts.size() && !page.m_dropped; ++s) {
        PrefetchedPage::Strip strip{ByteBuffer(page.m_bufferBytes), false};
        strip.whole = strip.bytes && TIFFReadEncodedStrip(tif.get(), s, strip.bytes.data(),
                                                          page.m_counts[s]) == page.m_counts[s];
        const bool goOn = strip.whole;
        page.m_strips.push(std::move(strip));
        if (!goOn)
            break;
    }
}

bool PagePrefetch::fitsWhole(std::size_t pageBytes) {
    return pageBytes <= kMostPageBytes;
}

} // namespace pagesmith
