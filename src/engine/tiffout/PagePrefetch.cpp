#include "engine/tiffout/PagePrefetch.h"

#include "base/MemoryLimits.h"
#include "base/SizeMath.h"
#include "engine/tiffout/CopyRoutines.h"
#include "engine/tiffout/CopySupport.h"
#include "engine/tiffout/OutputPageSetup.h"
#include "tiff/MemoryTiff.h"
#include "tiff/OpenForReading.h"

#include <algorithm>

namespace pagesmith {

namespace {

// The page after `after` (none when `after` is empty), or else the first page
// of `nextFile`, as the run's input reaches it.
TiffHandle openPageAfter(const PageAddress& after, const std::string& nextFile) {
    if (after) {
        TiffHandle tif = after.open();
        if (tif && TIFFReadDirectory(tif.get()))
            return tif;
    }
    return nextFile.empty() ? TiffHandle() : openTiffForReading(nextFile, "rm");
}

// Codecs that begin every strip afresh, so a strip encoded through another
// handle is byte for byte the strip the output's own codec writes.
bool encodesStripsAlone(std::uint16_t compression) {
    switch (compression) {
    case COMPRESSION_NONE:
    case COMPRESSION_PACKBITS:
    case COMPRESSION_LZW:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
        return true;
    default:
        return false;
    }
}

// The bytes of strip `strip` as libtiff wrote them into `file`.
bool readWrittenStrip(const MemoryTiff& file, TIFF* tif, tstrip_t strip, ByteBuffer& bytes,
                      tmsize_t& count) {
    const std::uint64_t offset = TIFFGetStrileOffset(tif, strip);
    const std::uint64_t size = TIFFGetStrileByteCount(tif, strip);
    bytes = ByteBuffer(std::size_t(size));
    count = tmsize_t(size);
    return size == 0 || (bytes && file.read(offset, bytes.data(), std::size_t(size)));
}

bool decodesAsStored(TIFF* tif) {
    std::uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
    return !TIFFIsTiled(tif) && planarConfig(tif) == PLANARCONFIG_CONTIG &&
           compression != COMPRESSION_JPEG && compression != COMPRESSION_OJPEG;
}

} // namespace

StripEncoding StripEncoding::of(TIFF* out) {
    StripEncoding encoding;
    TIFFGetField(out, TIFFTAG_IMAGEWIDTH, &encoding.width);
    TIFFGetField(out, TIFFTAG_IMAGELENGTH, &encoding.length);
    TIFFGetFieldDefaulted(out, TIFFTAG_ROWSPERSTRIP, &encoding.rowsPerStrip);
    TIFFGetFieldDefaulted(out, TIFFTAG_COMPRESSION, &encoding.compression);
    TIFFGetField(out, TIFFTAG_PHOTOMETRIC, &encoding.photometric);
    TIFFGetFieldDefaulted(out, TIFFTAG_FILLORDER, &encoding.fillOrder);
    TIFFGetFieldDefaulted(out, TIFFTAG_BITSPERSAMPLE, &encoding.bitsPerSample);
    TIFFGetFieldDefaulted(out, TIFFTAG_SAMPLESPERPIXEL, &encoding.samplesPerPixel);
    TIFFGetFieldDefaulted(out, TIFFTAG_PLANARCONFIG, &encoding.planar);
    if (encoding.compression == COMPRESSION_CCITTFAX3)
        TIFFGetField(out, TIFFTAG_GROUP3OPTIONS, &encoding.group3Options);
    if (encoding.compression == COMPRESSION_CCITTFAX4)
        TIFFGetField(out, TIFFTAG_GROUP4OPTIONS, &encoding.group4Options);
    if (encoding.compression == COMPRESSION_LZW)
        TIFFGetFieldDefaulted(out, TIFFTAG_PREDICTOR, &encoding.predictor);
    encoding.strips = TIFFNumberOfStrips(out);
    return encoding;
}

PrefetchedPage::RawWrite PrefetchedPage::writeEncoded(TIFF* out) {
    if (!m_encoded || StripEncoding::of(out) != m_encoding)
        return RawWrite::NotEncoded;
    for (std::size_t s = 0; s < m_raw.size(); ++s)
        if (TIFFWriteRawStrip(out, tstrip_t(s), m_raw[s].data(), m_rawBytes[s]) < 0)
            return RawWrite::Failed;
    return RawWrite::Written;
}

bool PrefetchedPage::take(std::uint32_t strip, ByteBuffer& buffer) {
    if (m_handedOver || strip >= m_counts.size() || buffer.size() != m_bufferBytes)
        return false;
    std::optional<Strip> next = m_strips->pop();
    if (!next || !next->whole) {
        m_handedOver = true;
        m_dropped = true;
        return false;
    }
    std::swap(buffer, next->bytes);
    return true;
}

bool PrefetchedPage::isPageOf(const PageAddress& in, const std::vector<tmsize_t>& counts,
                              std::size_t bufferBytes) const {
    return m_usable && m_address.samePageAs(in) && m_counts == counts &&
           m_bufferBytes == bufferBytes;
}

PagePrefetch::PagePrefetch(CoreBudget* cores, const ConversionOptions& options,
                           const PageSettings& settings)
    : m_cores(cores), m_options(options), m_runSettings(settings) {}

PagePrefetch::~PagePrefetch() {
    for (const auto& page : m_asked)
        page->m_dropped = true;
    m_requests.close();
    m_thread.join();
}

void PagePrefetch::setInput(bool pagesInOrder, std::string nextFile) {
    m_pagesInOrder = pagesInOrder;
    m_nextFile = std::move(nextFile);
}

void PagePrefetch::decodePageAfter(TIFF* in) {
    if (!m_cores || !m_pagesInOrder)
        return;
    auto page = std::make_shared<PrefetchedPage>();
    if (!TIFFLastDirectory(in)) {
        page->m_after = PageAddress::of(in);
        if (!page->m_after)
            return; // the run's page cannot be found again
    } else if (m_nextFile.empty()) {
        return; // nothing follows
    }
    {
        // No core free to decode it (the threads of a folder batch hold them
        // all): not worth a thread and a look.
        std::lock_guard lock(m_coreMutex);
        if (!m_core)
            m_core = CoreLease::ofFree(m_cores);
        if (!m_core)
            return;
        ++m_pagesUndone;
    }
    // The thread comes with the first page asked for.
    if (!m_thread.joinable())
        m_thread = JoiningThread([this] { work(); });
    page->m_nextFile = m_nextFile;
    page->m_settings = m_runSettings;
    page->m_settings.readAhead = {}; // its copy runs on this page's thread alone
    m_asked.push_back(page);
    m_requests.push(std::move(page));
}

std::shared_ptr<PrefetchedPage> PagePrefetch::take(TIFF* in, const std::vector<tmsize_t>& counts,
                                                   std::size_t bufferBytes) {
    if (m_asked.empty())
        return nullptr;
    const PageAddress here = PageAddress::of(in);
    while (!m_asked.empty()) {
        std::shared_ptr<PrefetchedPage> page = std::move(m_asked.front());
        m_asked.pop_front();
        std::unique_lock lock(page->m_mutex);
        page->m_planned.wait(lock, [&] { return page->m_isPlanned; });
        if (page->isPageOf(here, counts, bufferBytes))
            return page;
        page->m_dropped = true; // not the page read, or not read strip by strip
    }
    return nullptr;
}

void PagePrefetch::work() {
    while (std::optional<std::shared_ptr<PrefetchedPage>> page = m_requests.pop()) {
        decode(**page);
        // Whatever was decoded is there; the page waits for nothing more.
        (*page)->m_strips->close();
        // Nothing more asked for: the core goes back while this waits.
        std::lock_guard lock(m_coreMutex);
        if (--m_pagesUndone == 0)
            m_core.end();
    }
}

void PagePrefetch::decode(PrefetchedPage& page) {
    TiffHandle tif;
    if (!page.m_dropped)
        tif = openPageAfter(page.m_after, page.m_nextFile);
    std::uint32_t length = 0;
    std::optional<std::vector<tmsize_t>> counts;
    const auto stripBytes = tif ? byteCount(TIFFStripSize(tif.get())) : std::nullopt;
    if (tif && decodesAsStored(tif.get()) && stripBytes &&
        TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &length))
        counts = stripByteCounts(tif.get(), length, *stripBytes);
    const auto pageBytes = counts ? checkedMultiply(counts->size(), *stripBytes) : std::nullopt;
    if (counts && !counts->empty() && pageBytes && fitsWhole(*pageBytes))
        page.m_address = PageAddress::of(tif.get());
    const bool usable = bool(page.m_address);
    if (usable) {
        page.m_counts = std::move(*counts);
        page.m_bufferBytes = *stripBytes;
    }
    // Encoded ahead, the page is handed over whole; decoded only, strip by
    // strip as it is read.
    const bool encodable = usable && encodesStripsAlone(page.m_settings.outputCompression) &&
                           page.m_settings.outputTiled != 1;
    std::vector<ByteBuffer> decoded;
    bool whole = true;
    for (std::uint32_t s = 0; encodable && whole && s < page.m_counts.size(); ++s) {
        decoded.emplace_back(page.m_bufferBytes);
        whole = decoded.back() && TIFFReadEncodedStrip(tif.get(), s, decoded.back().data(),
                                                       page.m_counts[s]) == page.m_counts[s];
    }
    const bool encoded = encodable && whole && encode(tif.get(), page, decoded);
    {
        std::lock_guard lock(page.m_mutex);
        page.m_usable = usable;
        page.m_encoded = encoded;
        page.m_strips.emplace(std::max<std::size_t>(page.m_counts.size(), 1));
        page.m_isPlanned = true;
        page.m_planned.notify_all();
    }
    if (!usable || encoded)
        return;
    for (std::uint32_t s = 0; s < page.m_counts.size() && !page.m_dropped; ++s) {
        PrefetchedPage::Strip strip;
        if (s < decoded.size()) {
            strip = {std::move(decoded[s]), true};
            strip.whole = s + 1 < decoded.size() || whole;
        } else {
            strip.bytes = ByteBuffer(page.m_bufferBytes);
            strip.whole = strip.bytes && TIFFReadEncodedStrip(tif.get(), s, strip.bytes.data(),
                                                              page.m_counts[s]) == page.m_counts[s];
        }
        const bool goOn = strip.whole;
        page.m_strips->push(std::move(strip));
        if (!goOn)
            break;
    }
}

bool PagePrefetch::encode(TIFF* in, PrefetchedPage& page, const std::vector<ByteBuffer>& strips) {
    MemoryTiff file;
    TIFF* out = file.openForWriting();
    if (!out)
        return false;
    // The page set-up the run will make, from the same page and settings.
    PageSettings settings = page.m_settings;
    settings.startPage(m_options);
    bool throughRgba = false;
    std::uint16_t bitsPerSample = 1, samplesPerPixel = 1;
    TIFFGetField(in, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetField(in, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    if (prepareOutputPage(in, out, settings, throughRgba) != PageSetupResult::Copied ||
        throughRgba ||
        chooseCopyRoutine(in, out, bitsPerSample, samplesPerPixel) != copyStripsDecoded ||
        TIFFStripSize(out) > tmsize_t(page.m_bufferBytes))
        return false;
    for (std::size_t s = 0; s < strips.size(); ++s)
        if (TIFFWriteEncodedStrip(out, tstrip_t(s), strips[s].data(), page.m_counts[s]) < 0)
            return false;
    page.m_encoding = StripEncoding::of(out);
    page.m_raw.resize(strips.size());
    page.m_rawBytes.resize(strips.size());
    for (std::size_t s = 0; s < strips.size(); ++s)
        if (!readWrittenStrip(file, out, tstrip_t(s), page.m_raw[s], page.m_rawBytes[s]))
            return false;
    return true;
}

bool PagePrefetch::fitsWhole(std::size_t pageBytes) {
    return pageBytes <= kMostPageBytesAhead;
}

} // namespace pagesmith
