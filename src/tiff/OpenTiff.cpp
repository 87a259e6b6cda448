#include "tiff/OpenTiff.h"

#include "tiff/MemoryCap.h"

#include <memory>

namespace pagesmith {

namespace {

struct FreeOptions {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// libtiff copies the options into the handle, so they live for one open only.
std::unique_ptr<TIFFOpenOptions, FreeOptions> cappedOptions() {
    std::unique_ptr<TIFFOpenOptions, FreeOptions> options(TIFFOpenOptionsAlloc());
    if (options)
        TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(kMaxAllocationBytes));
    return options;
}

} // namespace

TIFF* openTiff(const std::string& path, const char* mode) {
    const auto options = cappedOptions();
    if (!options)
        return nullptr;
    return TIFFOpenExt(path.c_str(), mode, options.get());
}

TIFF* openTiffDescriptor(int descriptor, const std::string& name, const char* mode) {
    const auto options = cappedOptions();
    if (!options)
        return nullptr;
    return TIFFFdOpenExt(descriptor, name.c_str(), mode, options.get());
}

} // namespace pagesmith
