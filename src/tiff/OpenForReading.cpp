#include "tiff/OpenForReading.h"

#include "tiff/OpenTiff.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace pagesmith {

TiffHandle openTiffForReading(const std::string& path, const char* mode,
                              std::size_t mostAllocation) {
#ifdef _WIN32
    return TiffHandle(openTiff(path, mode, nullptr, mostAllocation));
#else
    // O_NONBLOCK keeps the open of a FIFO or device from waiting; the type
    // test is made on the opened descriptor so the file cannot change under it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {};
    // Kernel files (/proc, tracing) call themselves regular but have no size,
    // and some of them wait for data when read; no TIFF header fits in fewer
    // than 8 bytes, so such a file is refused before anything is read.
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 8) {
        ::close(fd);
        return {};
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags != -1)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    TIFF* tiff = openTiffDescriptor(fd, path, mode, nullptr, mostAllocation);
    if (!tiff) {
        ::close(fd); // libtiff leaves the descriptor open when it fails
        return {};
    }
    return TiffHandle(tiff);
#endif
}

} // namespace pagesmith
