#include "platform/MemoryReuse.h"

#include <cstdlib> // defines __GLIBC__ with the C library

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace pagesmith::platform {

#ifdef __GLIBC__

void keepFreedMemoryForReuse() {
    // Buffers below 32 MiB come from the heap and stay there; the heap gives
    // back only what exceeds 64 MiB at its top.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
}

#else

void keepFreedMemoryForReuse() {}

#endif

} // namespace pagesmith::platform
