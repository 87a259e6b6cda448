#pragma once

#include <tiffio.h>

#include <cstdint>
#include <vector>

namespace pagesmith {

// The rows of the input's current page that could not be read, wholly or in
// part, as the copy routines and row readers meet them. The tally travels
// with the input handle, which every routine and reader is given already; a
// handle without one (a decoding thread's own) counts nothing, and the rows
// it could not read are read again, and counted, on the run's handle.
class ReadDamage {
public:
    explicit ReadDamage(TIFF* in);
    ~ReadDamage();
    ReadDamage(const ReadDamage&) = delete;
    ReadDamage& operator=(const ReadDamage&) = delete;

    std::uint64_t unreadRows() const { return m_unreadRows; }

private:
    friend void noteUnreadRows(TIFF* in, std::uint64_t rows);

    TIFF* m_in;
    std::uint64_t m_unreadRows = 0;
};

// Adds rows to the tally of `in`, when it has one.
void noteUnreadRows(TIFF* in, std::uint64_t rows);

// Rows of a page read one plane after another: a row counts once, however
// many of its planes could not be read. Notes them when it goes.
class PlaneRowFailures {
public:
    PlaneRowFailures(TIFF* in, std::uint32_t rows, std::uint16_t planes);
    ~PlaneRowFailures();
    PlaneRowFailures(const PlaneRowFailures&) = delete;
    PlaneRowFailures& operator=(const PlaneRowFailures&) = delete;

    void failed(std::uint32_t row);

private:
    TIFF* m_in;
    std::uint64_t m_count = 0;
    std::vector<bool> m_rows; // with several planes: the rows already counted
};

} // namespace pagesmith
