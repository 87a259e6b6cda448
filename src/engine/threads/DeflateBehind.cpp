#include "engine/threads/DeflateBehind.h"

#include <qpdf/Pl_String.hh>

#include <cstring>

namespace pagesmith {

namespace {

// Bytes handed over at a time, and how many may wait: a megabyte at most.
constexpr std::size_t kChunkBytes = std::size_t(256) << 10;
constexpr std::size_t kChunksWaiting = 4;

} // namespace

DeflateBehind::DeflateBehind(Pipeline* next, int level, CoreBudget* cores)
    : Pipeline("deflate behind", next), m_lease(CoreLease::ofFree(cores)),
      m_chunks(kChunksWaiting) {
    if (!m_lease) {
        m_here.emplace(next, level);
        return;
    }
    m_chunk.reserve(kChunkBytes);
    m_helper = std::thread([this, level] { compress(level); });
}

DeflateBehind::~DeflateBehind() {
    stop();
}

void DeflateBehind::compress(int level) {
    try {
        Pl_String collected("compressed", nullptr, m_compressed);
        DeflatePipe deflate(&collected, level);
        while (std::optional<std::vector<unsigned char>> chunk = m_chunks.pop())
            deflate.write(chunk->data(), chunk->size());
        deflate.finish();
    } catch (...) {
        m_failure = std::current_exception();
        m_chunks.close(); // the writer stops waiting for room
    }
}

void DeflateBehind::write(unsigned char const* data, size_t length) {
    if (m_here) {
        m_here->write(data, length);
        return;
    }
    while (length > 0) {
        const std::size_t part = std::min(length, kChunkBytes - m_chunk.size());
        m_chunk.insert(m_chunk.end(), data, data + part);
        data += part;
        length -= part;
        if (m_chunk.size() == kChunkBytes) {
            m_chunks.push(std::move(m_chunk));
            m_chunk = {};
            m_chunk.reserve(kChunkBytes);
        }
    }
}

void DeflateBehind::finish() {
    if (m_here) {
        m_here->finish();
        return;
    }
    if (!m_chunk.empty())
        m_chunks.push(std::move(m_chunk));
    stop();
    if (m_failure)
        std::rethrow_exception(m_failure);
    getNext()->write(reinterpret_cast<const unsigned char*>(m_compressed.data()),
                     m_compressed.size());
    getNext()->finish();
}

void DeflateBehind::stop() {
    if (!m_helper.joinable())
        return;
    m_chunks.close();
    m_helper.join();
    m_lease.end();
}

} // namespace pagesmith
