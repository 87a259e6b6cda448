#pragma once

#include "engine/threads/BoundedQueue.h"
#include "engine/threads/CoreBudget.h"
#include "engine/threads/JoiningThread.h"

#include <qpdf/Pipeline.hh>

#include <zlib.h>

#include <cstddef>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pagesmith {

// Compresses what is written to it into one zlib stream, as DeflatePipe
// does, sharing the work with a core of its own when the budget has one free
// now. The data goes in pieces: four of every five are compressed on that
// core while the calling thread makes the next ones and compresses the
// fifth, which keeps both busy when making the data takes about half as
// long as compressing it. Each piece starts from the window of the one
// before and ends on a flush, so the pieces joined are one deflate stream.
// Without a free core the calling thread compresses every piece itself: the
// stream is the same bytes either way, so a document does not depend on how
// busy the machine was. The compressed data is collected and handed to
// `next` at finish(), as qpdf holds an image's data whole anyway.
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
    struct Piece {
        std::size_t index = 0;
        std::vector<unsigned char> data;
        std::vector<unsigned char> window; // the end of the piece before
        bool last = false;
    };
    using Compressed = std::vector<std::pair<std::size_t, std::string>>;

    void compressOnTheOtherCore();
    void dispatch(bool last);
    void stop();

    int m_level;
    CoreLease m_lease;
    uLong m_adler = adler32(0, nullptr, 0);
    BoundedQueue<Piece> m_pieces;
    Piece m_piece;
    std::size_t m_nextIndex = 0;
    z_stream m_here{};
    bool m_hereOpen = false;
    Compressed m_doneHere;
    Compressed m_doneThere;
    std::exception_ptr m_failure;
    JoiningThread m_helper;
};

} // namespace pagesmith
