#pragma once

#include "tiff/TiffHandle.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagesmith {

// A TIFF file that lives in memory only: libtiff writes a page into it, and
// the bytes it wrote can be read back, on every platform alike.
class MemoryTiff {
public:
    MemoryTiff() = default;
    MemoryTiff(const MemoryTiff&) = delete; // libtiff holds its address
    MemoryTiff& operator=(const MemoryTiff&) = delete;

    // Opens it empty for writing; nullptr when libtiff refuses.
    TIFF* openForWriting();

    // `size` bytes from `offset` of what was written; false when they are
    // not all there.
    bool read(std::uint64_t offset, void* into, std::size_t size) const;

private:
    static tmsize_t readCall(thandle_t self, void* buffer, tmsize_t size);
    static tmsize_t writeCall(thandle_t self, void* buffer, tmsize_t size);
    static toff_t seekCall(thandle_t self, toff_t offset, int whence);
    static int closeCall(thandle_t self);
    static toff_t sizeCall(thandle_t self);
    static int mapCall(thandle_t self, void** base, toff_t* size);
    static void unmapCall(thandle_t self, void* base, toff_t size);

    std::vector<unsigned char> m_bytes;
    std::uint64_t m_position = 0;
    TiffHandle m_tiff; // closed before the bytes go
};

} // namespace pagesmith
