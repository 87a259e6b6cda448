#include "tiff/OpenForReading.h"

#include "platform/NativeFile.h"
#include "tiff/OpenTiff.h"

namespace pagesmith {

TiffHandle openTiffForReading(const std::string& path, const char* mode,
                              std::size_t mostAllocation) {
    const platform::FileNumber file = platform::openFileForReading(path);
    if (file == platform::kNoFile)
        return {};
    // Kernel files (/proc, tracing) call themselves regular but have no size,
    // and some of them wait for data when read; no TIFF header fits in fewer
    // than 8 bytes, so such a file is refused before anything is read.
    const std::optional<std::uint64_t> size = platform::fileSize(file);
    if (!size || *size < 8) {
        platform::closeFile(file);
        return {};
    }
    TIFF* tiff = openTiffDescriptor(file, path, mode, nullptr, mostAllocation);
    if (!tiff) {
        platform::closeFile(file); // libtiff leaves the file open when it fails
        return {};
    }
    return TiffHandle(tiff);
}

} // namespace pagesmith
