#include "engine/pdf/DeflatePipe.h"

#include "base/MemoryLimits.h"

#include <limits>
#include <stdexcept>

namespace pagesmith {

DeflatePipe::DeflatePipe(Pipeline* next, int level)
    : Pipeline("deflate", next), m_out(kDeflateOutputBytes) {
    if (deflateInit(&m_stream, level) != Z_OK)
        throw std::runtime_error("deflate cannot start");
    m_open = true;
}

DeflatePipe::~DeflatePipe() {
    if (m_open)
        deflateEnd(&m_stream);
}

void DeflatePipe::write(unsigned char const* data, size_t length) {
    // zlib counts in unsigned int: large writes go in parts.
    constexpr size_t kLargest = std::numeric_limits<uInt>::max();
    while (length > 0) {
        const size_t part = length < kLargest ? length : kLargest;
        m_stream.next_in = const_cast<unsigned char*>(data);
        m_stream.avail_in = uInt(part);
        run(Z_NO_FLUSH);
        data += part;
        length -= part;
    }
}

void DeflatePipe::finish() {
    m_stream.next_in = nullptr;
    m_stream.avail_in = 0;
    run(Z_FINISH);
    deflateEnd(&m_stream);
    m_open = false;
    getNext()->finish();
}

void DeflatePipe::run(int flush) {
    for (;;) {
        m_stream.next_out = m_out.data();
        m_stream.avail_out = uInt(m_out.size());
        const int result = deflate(&m_stream, flush);
        if (result == Z_STREAM_ERROR)
            throw std::runtime_error("deflate failed");
        const size_t produced = m_out.size() - m_stream.avail_out;
        if (produced > 0)
            getNext()->write(m_out.data(), produced);
        if (flush == Z_FINISH ? result == Z_STREAM_END : m_stream.avail_out != 0)
            return;
    }
}

} // namespace pagesmith
