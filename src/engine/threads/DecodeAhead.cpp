#include "engine/threads/DecodeAhead.h"

#include "base/MemoryLimits.h"

#include <algorithm>
#include <climits>
#include <system_error>

namespace pagesmith {

DecodeAhead::DecodeAhead(TIFF* in, std::uint32_t units, std::size_t unitBytes, CoreBudget* cores,
                         ReadUnit read)
    : m_units(units), m_unitBytes(unitBytes), m_read(std::move(read)) {
    if (!cores || cores->freeNow() == 0 || units < 2 || unitBytes == 0 ||
        std::uint64_t(units) * unitBytes < kLeastPageBytesDecodedAhead)
        return;
    m_address = PageAddress::of(in);
    if (!m_address)
        return;
    // Every core free now, within what memory allows. The writing thread mostly
    // waits for the decoders, so its own core takes a decoder too.
    const std::size_t affordable =
        std::max<std::size_t>(1, kMostBytesAhead / (unitBytes * kUnitsPerDecoder));
    const std::size_t extra = std::min<std::size_t>(affordable, units) - 1;
    m_cores = CoreLease::ofFree(cores, int(std::min<std::size_t>(extra, INT_MAX)));
    if (!m_cores)
        return;
    m_decoderCount = std::uint32_t(m_cores.cores()) + 1;
    for (std::uint32_t i = 0; i < m_decoderCount; ++i)
        m_decoders.push_back(std::make_unique<Decoder>(kUnitsPerDecoder));
    try {
        for (std::uint32_t i = 0; i < m_decoderCount; ++i) {
            Decoder& decoder = *m_decoders[i];
            decoder.thread = JoiningThread([this, &decoder, i] {
                decode(decoder, i);
                decoder.ready.close(); // nothing more comes: a take must not wait
            });
        }
    } catch (const std::system_error&) {
        // A decoder without a thread: none at all, every unit is the caller's.
        stop();
        m_cores.end();
    }
}

DecodeAhead::~DecodeAhead() {
    stop(); // before the cores go back
}

void DecodeAhead::stop() {
    for (const auto& decoder : m_decoders) {
        decoder->free.close();
        decoder->ready.close();
    }
    for (const auto& decoder : m_decoders)
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
    for (std::size_t i = 0; i < kUnitsPerDecoder; ++i)
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
