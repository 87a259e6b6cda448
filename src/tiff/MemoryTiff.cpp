#include "tiff/MemoryTiff.h"

#include "base/MemoryLimits.h"
#include "tiff/OpenTiff.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace pagesmith {

namespace {

MemoryTiff& fileOf(thandle_t self) {
    return *static_cast<MemoryTiff*>(static_cast<void*>(self));
}

} // namespace

TIFF* MemoryTiff::openForWriting() {
    m_tiff.close();
    m_bytes.clear();
    m_position = 0;
    static const TiffClientCalls calls{readCall, writeCall, seekCall, closeCall,
                                       sizeCall, mapCall,   unmapCall};
    m_tiff =
        TiffHandle(openTiffClient("pagesmith-page", "w", reinterpret_cast<thandle_t>(this), calls));
    return m_tiff.get();
}

bool MemoryTiff::read(std::uint64_t offset, void* into, std::size_t size) const {
    if (offset > m_bytes.size() || size > m_bytes.size() - offset)
        return false;
    if (size > 0)
        std::memcpy(into, m_bytes.data() + offset, size);
    return true;
}

tmsize_t MemoryTiff::readCall(thandle_t self, void* buffer, tmsize_t size) {
    MemoryTiff& file = fileOf(self);
    if (size < 0 || file.m_position >= file.m_bytes.size())
        return 0;
    const std::size_t count =
        std::min<std::uint64_t>(std::uint64_t(size), file.m_bytes.size() - file.m_position);
    std::memcpy(buffer, file.m_bytes.data() + file.m_position, count);
    file.m_position += count;
    return tmsize_t(count);
}

tmsize_t MemoryTiff::writeCall(thandle_t self, void* buffer, tmsize_t size) {
    MemoryTiff& file = fileOf(self);
    // The page of one prefetch stays within the engine's allocation cap.
    if (size < 0 || file.m_position + std::uint64_t(size) > kMaxAllocationBytes)
        return -1;
    const std::uint64_t end = file.m_position + std::uint64_t(size);
    if (end > file.m_bytes.size())
        file.m_bytes.resize(std::size_t(end));
    std::memcpy(file.m_bytes.data() + file.m_position, buffer, std::size_t(size));
    file.m_position = end;
    return size;
}

toff_t MemoryTiff::seekCall(thandle_t self, toff_t offset, int whence) {
    MemoryTiff& file = fileOf(self);
    std::uint64_t base = 0;
    if (whence == SEEK_CUR)
        base = file.m_position;
    else if (whence == SEEK_END)
        base = file.m_bytes.size();
    file.m_position = base + offset;
    return file.m_position;
}

int MemoryTiff::closeCall(thandle_t) {
    return 0;
}

toff_t MemoryTiff::sizeCall(thandle_t self) {
    return fileOf(self).m_bytes.size();
}

int MemoryTiff::mapCall(thandle_t, void**, toff_t*) {
    return 0;
}

void MemoryTiff::unmapCall(thandle_t, void*, toff_t) {}

} // namespace pagesmith
