#include "tiff/OpenTiff.h"

#include "base/MemoryLimits.h"
#include "platform/TiffByName.h"
#include "tiff/TiffDiagnostics.h"

#include <cstdarg>
#include <cstdio>
#include <memory>

namespace pagesmith {

namespace {

// Hands a message to the handle's receiver; either way it is handled here
// and the process-wide handlers never see it.
int passOn(void* receiver, bool error, const char* module, const char* format, va_list args) {
    if (receiver) {
        char text[1024];
        std::vsnprintf(text, sizeof text, format, args);
        static_cast<TiffMessages*>(receiver)->tiffMessage(error, module ? module : "", text);
    }
    return 1;
}

int passOnError(TIFF*, void* receiver, const char* module, const char* format, va_list args) {
    return passOn(receiver, true, module, format, args);
}

int passOnWarning(TIFF*, void* receiver, const char* module, const char* format, va_list args) {
    return passOn(receiver, false, module, format, args);
}

struct FreeOptions {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

// libtiff copies the options into the handle, so they live for one open only.
std::unique_ptr<TIFFOpenOptions, FreeOptions> handleOptions(TiffMessages* messages) {
    std::unique_ptr<TIFFOpenOptions, FreeOptions> options(TIFFOpenOptionsAlloc());
    if (options) {
        TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(kMaxAllocationBytes));
        TIFFOpenOptionsSetErrorHandlerExtR(options.get(), passOnError, messages);
        TIFFOpenOptionsSetWarningHandlerExtR(options.get(), passOnWarning, messages);
    }
    return options;
}

} // namespace

TIFF* openTiff(const std::string& path, const char* mode, TiffMessages* messages) {
    const auto options = handleOptions(messages);
    if (!options)
        return nullptr;
    return platform::openTiffByName(path, mode, options.get());
}

TIFF* openTiffDescriptor(int descriptor, const std::string& name, const char* mode,
                         TiffMessages* messages) {
    const auto options = handleOptions(messages);
    if (!options)
        return nullptr;
    return TIFFFdOpenExt(descriptor, name.c_str(), mode, options.get());
}

TIFF* openTiffClient(const std::string& name, const char* mode, thandle_t client,
                     const TiffClientCalls& calls, TiffMessages* messages) {
    const auto options = handleOptions(messages);
    if (!options)
        return nullptr;
    return TIFFClientOpenExt(name.c_str(), mode, client, calls.read, calls.write, calls.seek,
                             calls.close, calls.size, calls.map, calls.unmap, options.get());
}

} // namespace pagesmith
