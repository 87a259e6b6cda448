#pragma once

#include "engine/pdf/DeflatePipe.h"
#include "engine/threads/BoundedQueue.h"
#include "engine/threads/CoreBudget.h"

#include <qpdf/Pipeline.hh>

#include <exception>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace pagesmith {

// Compresses what is written to it with deflate, as DeflatePipe does, on a
// core of its own when the budget has one free now: the calling thread goes
// on decoding and filtering the next rows meanwhile. The compressed data is
// collected and handed to `next` at finish(), as qpdf holds an image's data
// whole anyway. Without a free core it compresses on the calling thread,
// straight into `next`. What is written waits in a few chunks at most.
class DeflateBehind : public Pipeline {
public:
    DeflateBehind(Pipeline* next, int level, CoreBudget* cores);
    ~DeflateBehind() override;
    DeflateBehind(const DeflateBehind&) = delete;
    DeflateBehind& operator=(const DeflateBehind&) = delete;

    void write(unsigned char const* data, size_t length) override;
    // Ends the data; rethrows what went wrong on the other core.
    void finish() override;

private:
    void compress(int level);
    void stop();

    CoreLease m_lease;
    std::optional<DeflatePipe> m_here; // without a core of its own
    BoundedQueue<std::vector<unsigned char>> m_chunks;
    std::vector<unsigned char> m_chunk;
    std::string m_compressed;
    std::exception_ptr m_failure;
    std::thread m_helper;
};

} // namespace pagesmith
