#pragma once

#include "base/ByteBuffer.h"
#include "engine/threads/BoundedQueue.h"
#include "engine/threads/CoreBudget.h"
#include "engine/threads/JoiningThread.h"
#include "engine/threads/PageAddress.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace pagesmith {

// The producer half of a page copy: reads the units of the input's current
// page (its strips, or bands of rows) ahead of the thread that encodes and
// writes them, on decoding threads of their own. Each decoding thread opens
// the input again and owns that handle; the writing thread keeps the input
// handle it has and the output. Units go round the decoders in turn and come
// back in order through small bounded queues, so memory stays at a few units.
//
// A unit is whole when every read in it gave all its bytes: its content then
// depends on nothing read before it, so it is what a one-thread copy reads.
// From the first unit that is not whole (a damaged strip) the writing thread
// reads on its own, as a one-thread copy would from there. A decoding thread
// that ends closes its queue, so a take never waits for a unit that will not
// come.
class DecodeAhead {
public:
    // Reads unit `unit` of the page from `from` into `into` (of unitBytes,
    // which it may move out and back); true when the unit was read whole.
    using ReadUnit = std::function<bool(TIFF* from, std::uint32_t unit, ByteBuffer& into)>;

    // Starts decoding threads when the budget has a core to spare and the
    // page is worth it; otherwise none, and every unit is the caller's to read.
    // The cores are held until the object ends.
    DecodeAhead(TIFF* in, std::uint32_t units, std::size_t unitBytes, CoreBudget* cores,
                ReadUnit read);
    ~DecodeAhead();
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // Hands over unit `unit`, read whole by a decoding thread, by exchanging
    // buffers: `buffer` (of unitBytes) then holds the unit, and the one it
    // held goes back to the decoders. Units are taken in order. False when no
    // decoding thread has the unit whole: then this unit and every later one
    // are the caller's to read, and `buffer` is left as it was.
    bool take(std::uint32_t unit, ByteBuffer& buffer);

    // Whether unit `unit` is the first the caller reads itself after the
    // decoders read the ones before: it must then bring its buffers to the
    // state a one-thread copy leaves them in after unit - 1.
    bool handsOverAt(std::uint32_t unit) const { return m_handedOverAt == unit && unit > 0; }

private:
    struct Unit {
        ByteBuffer bytes;
        bool whole = false;
    };
    struct Decoder {
        explicit Decoder(std::size_t buffers) : free(buffers), ready(buffers) {}
        BoundedQueue<ByteBuffer> free;
        BoundedQueue<Unit> ready;
        JoiningThread thread;
    };

    void decode(Decoder& decoder, std::uint32_t first);
    void stop();

    PageAddress m_address;
    const std::uint32_t m_units;
    const std::size_t m_unitBytes;
    const ReadUnit m_read;
    CoreLease m_cores;
    std::uint32_t m_decoderCount = 0; // fixed before the threads start
    std::vector<std::unique_ptr<Decoder>> m_decoders;
    std::uint32_t m_handedOverAt = 0xFFFFFFFFu; // no unit yet
};

} // namespace pagesmith
