#pragma once

#include <tiffio.h>

#include <cstdint>

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

// Rows of a page read one plane after another: the rows of the plane that
// lost most count (a damaged strip of one plane and the strip beside it in
// the next plane are the same rows). Notes them when it goes.
class PlaneRowFailures {
public:
    explicit PlaneRowFailures(TIFF* in) : m_in(in) {}
    ~PlaneRowFailures();
    PlaneRowFailures(const PlaneRowFailures&) = delete;
    PlaneRowFailures& operator=(const PlaneRowFailures&) = delete;

    void failed(std::uint16_t plane);

private:
    TIFF* m_in;
    std::uint16_t m_plane = 0;
    std::uint64_t m_inPlane = 0; // rows of m_plane that failed
    std::uint64_t m_most = 0;    // of the planes before
};

} // namespace pagesmith
