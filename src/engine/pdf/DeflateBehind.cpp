#include "engine/pdf/DeflateBehind.h"

#include "base/MemoryLimits.h"

#include <algorithm>
#include <stdexcept>

namespace pagesmith {

namespace {

// Of every five pieces, the one the calling thread compresses.
constexpr std::size_t kPiecesInTurn = 5;
// Deflate's window: what a piece may refer back to.
constexpr std::size_t kWindowBytes = std::size_t(32) << 10;
constexpr int kRawDeflate = -15; // no zlib header or trailer: the pieces are joined
constexpr int kMemoryLevel = 8;

void open(z_stream& stream, int level) {
    if (deflateInit2(&stream, level, Z_DEFLATED, kRawDeflate, kMemoryLevel, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        throw std::runtime_error("deflate cannot start");
}

// One piece on its own, ending on a byte (or as the stream's last block).
std::string compressPiece(z_stream& stream, std::vector<unsigned char>& data,
                          const std::vector<unsigned char>& window, bool last) {
    deflateReset(&stream);
    if (!window.empty())
        deflateSetDictionary(&stream, window.data(), uInt(window.size()));
    std::string out;
    unsigned char buffer[kDeflateOutputBytes];
    stream.next_in = data.data();
    stream.avail_in = uInt(data.size());
    do {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        if (deflate(&stream, last ? Z_FINISH : Z_SYNC_FLUSH) == Z_STREAM_ERROR)
            throw std::runtime_error("deflate failed");
        out.append(reinterpret_cast<const char*>(buffer), sizeof buffer - stream.avail_out);
    } while (stream.avail_out == 0);
    return out;
}

// The zlib header deflate writes for a level, with its 32 KiB window.
std::string zlibHeader(int level) {
    const unsigned method = 0x78;
    const unsigned hint = level < 2 ? 0 : level < 6 ? 1 : level == 6 ? 2 : 3;
    unsigned flags = hint << 6;
    flags += 31 - (method * 256 + flags) % 31;
    return std::string{char(method), char(flags)};
}

} // namespace

DeflateBehind::DeflateBehind(Pipeline* next, int level, CoreBudget* cores)
    : Pipeline("deflate behind", next), m_level(level), m_lease(CoreLease::ofFree(cores)),
      m_pieces(kDeflatePiecesWaiting) {
    open(m_here, level);
    m_hereOpen = true;
    m_piece.data.reserve(kDeflatePieceBytes);
    if (m_lease)
        m_helper = JoiningThread([this] { compressOnTheOtherCore(); });
}

DeflateBehind::~DeflateBehind() {
    stop();
    if (m_hereOpen)
        deflateEnd(&m_here);
}

void DeflateBehind::compressOnTheOtherCore() {
    z_stream stream{};
    try {
        open(stream, m_level);
        while (std::optional<Piece> piece = m_pieces.pop())
            m_doneThere.emplace_back(piece->index,
                                     compressPiece(stream, piece->data, piece->window, false));
    } catch (...) {
        m_failure = std::current_exception();
        m_pieces.close(); // the writer stops waiting for room
    }
    deflateEnd(&stream);
}

// Sends the piece in hand on its way and begins the next.
void DeflateBehind::dispatch(bool last) {
    Piece next;
    next.index = m_nextIndex + 1;
    const std::size_t keep = std::min(m_piece.data.size(), kWindowBytes);
    next.window.assign(m_piece.data.end() - std::ptrdiff_t(keep), m_piece.data.end());
    next.data.reserve(kDeflatePieceBytes);

    m_piece.index = m_nextIndex++;
    m_piece.last = last;
    if (last || !m_helper.joinable() || m_piece.index % kPiecesInTurn == kPiecesInTurn - 1)
        m_doneHere.emplace_back(m_piece.index,
                                compressPiece(m_here, m_piece.data, m_piece.window, last));
    else
        m_pieces.push(std::move(m_piece));
    m_piece = std::move(next);
}

void DeflateBehind::write(unsigned char const* data, size_t length) {
    m_adler = adler32_z(m_adler, data, length);
    while (length > 0) {
        const std::size_t part = std::min(length, kDeflatePieceBytes - m_piece.data.size());
        m_piece.data.insert(m_piece.data.end(), data, data + part);
        data += part;
        length -= part;
        if (m_piece.data.size() == kDeflatePieceBytes)
            dispatch(false);
    }
}

void DeflateBehind::finish() {
    dispatch(true); // what is left, perhaps nothing: the last block
    stop();
    if (m_failure)
        std::rethrow_exception(m_failure);
    Compressed pieces = std::move(m_doneThere);
    pieces.insert(pieces.end(), m_doneHere.begin(), m_doneHere.end());
    std::sort(pieces.begin(), pieces.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    Pipeline* next = getNext();
    const std::string header = zlibHeader(m_level);
    next->write(reinterpret_cast<const unsigned char*>(header.data()), header.size());
    for (const auto& piece : pieces)
        next->write(reinterpret_cast<const unsigned char*>(piece.second.data()),
                    piece.second.size());
    const unsigned char trailer[] = {
        static_cast<unsigned char>(m_adler >> 24), static_cast<unsigned char>(m_adler >> 16),
        static_cast<unsigned char>(m_adler >> 8), static_cast<unsigned char>(m_adler)};
    next->write(trailer, sizeof trailer);
    next->finish();
}

void DeflateBehind::stop() {
    if (!m_helper.joinable())
        return;
    m_pieces.close();
    m_helper.join();
    m_lease.end();
}

} // namespace pagesmith
