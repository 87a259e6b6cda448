#include "engine/DecodeAhead.h"

#include "engine/CoreBudget.h"

#include <algorithm>

namespace pagesmith {

namespace {

// Units a decoder holds: one being read while one waits to be taken (the
// writing thread holds a third, the one it writes).
constexpr std::size_t kBuffersPerDecoder = 2;
// What the decoders may hold between them.
constexpr std::size_t kMostBytesAhead = std::size_t(48) << 20;
// Below this a page is done before threads and handles would pay for themselves.
constexpr std::size_t kLeastPageBytes = std::size_t(256) << 10;

} // namespace

DecodeAhead::DecodeAhead(TIFF* in, std::uint32_t units, std::size_t unitBytes, CoreBudget* cores,
                         ReadUnit read)
    : m_units(units), m_unitBytes(unitBytes), m_read(std::move(read)) {
    if (!cores || cores->freeNow() == 0 || units < 2 || unitBytes == 0 ||
        std::uint64_t(units) * unitBytes < kLeastPageBytes)
        return;
    m_address = PageAddress::of(in);
    if (!m_address)
        return;
    // Every core free now, within what memory allows. The writing thread mostly
    // waits for the decoders, so its own core takes a decoder too.
    const std::size_t affordable =
        std::max<std::size_t>(1, kMostBytesAhead / (unitBytes * kBuffersPerDecoder));
    while (std::size_t(m_coresTaken) + 1 < std::min<std::size_t>(affordable, units) &&
           cores->tryTake())
        ++m_coresTaken;
    if (m_coresTaken == 0)
        return;
    m_cores = cores;
    m_decoderCount = std::uint32_t(m_coresTaken) + 1;
    for (std::uint32_t i = 0; i < m_decoderCount; ++i)
        m_decoders.push_back(std::make_unique<Decoder>(kBuffersPerDecoder));
    for (std::uint32_t i = 0; i < m_decoderCount; ++i) {
        Decoder& decoder = *m_decoders[i];
        decoder.thread = std::thread([this, &decoder, i] { decode(decoder, i); });
    }
}

DecodeAhead::~DecodeAhead() {
    stop();
    for (int i = 0; i < m_coresTaken; ++i)
        m_cores->give();
}

void DecodeAhead::stop() {
    for (const auto& decoder : m_decoders) {
        decoder->free.close();
        decoder->ready.close();
    }
    for (const auto& decoder : m_decoders)
        if (decoder->thread.joinable())
            decoder->thread.join();
    m_decoders.clear();
}

bool DecodeAhead::take(std::uint32_t unit, ByteBuffer& buffer) {
    if (m_decoders.empty() || unit >= m_units || buffer.size() != m_unitBytes) {
        stop();
        m_handedOverAt = std::min(m_handedOverAt, unit);
        return false;
    }
    Decoder& decoder = *m_decoders[unit % m_decoderCount];
    std::optional<Unit> next = decoder.ready.pop();
    if (!next || !next->whole) {
        stop();
        m_handedOverAt = unit;
        return false;
    }
    std::swap(buffer, next->bytes);
    decoder.free.push(std::move(next->bytes)); // cannot wait: the decoder's own buffers
    return true;
}

void DecodeAhead::decode(Decoder& decoder, std::uint32_t first) {
    TiffHandle from = m_address.open();
    for (std::size_t i = 0; i < kBuffersPerDecoder; ++i)
        decoder.free.push(ByteBuffer(m_unitBytes));
    for (std::uint32_t unit = first; unit < m_units; unit += m_decoderCount) {
        std::optional<ByteBuffer> buffer = decoder.free.pop();
        if (!buffer)
            return; // stopped
        Unit decoded{std::move(*buffer), false};
        decoded.whole = from && decoded.bytes && m_read(from.get(), unit, decoded.bytes);
        const bool goOn = decoded.whole;
        if (!decoder.ready.push(std::move(decoded)) || !goOn)
            return;
    }
}

} // namespace pagesmith
