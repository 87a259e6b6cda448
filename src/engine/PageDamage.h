#pragma once

#include <cstdint>

namespace pagesmith {

// What could not be read of a page that went into an output: its rows that
// were written blank instead. An output that reads its pages' data only when
// it is written whole (a PDF document) sets this then, anew each time.
struct PageDamage {
    std::uint64_t unreadRows = 0;
    bool sourceLost = false; // the input could not be read again at all

    // The rows of a page of `length` rows that were left blank.
    std::uint64_t blankRows(std::uint32_t length) const {
        return sourceLost ? length : (unreadRows < length ? unreadRows : length);
    }
};

} // namespace pagesmith
