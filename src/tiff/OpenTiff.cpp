#include "tiff/OpenTiff.h"

#include "base/MemoryLimits.h"
#include "platform/NativeFile.h"
#include "platform/TiffByName.h"
#include "tiff/TiffDiagnostics.h"

#include <algorithm>
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
std::unique_ptr<TIFFOpenOptions, FreeOptions> handleOptions(TiffMessages* messages,
                                                            std::size_t mostAllocation) {
    std::unique_ptr<TIFFOpenOptions, FreeOptions> options(TIFFOpenOptionsAlloc());
    if (options) {
        TIFFOpenOptionsSetMaxSingleMemAlloc(
            options.get(), tmsize_t(std::min(mostAllocation, kMaxAllocationBytes)));
        TIFFOpenOptionsSetErrorHandlerExtR(options.get(), passOnError, messages);
        TIFFOpenOptionsSetWarningHandlerExtR(options.get(), passOnWarning, messages);
    }
    return options;
}

WriteGate& gateOf(thandle_t handle) {
    return *static_cast<WriteGate*>(handle);
}

tmsize_t gatedRead(thandle_t handle, void* buffer, tmsize_t size) {
    return tmsize_t(platform::readFile(gateOf(handle).file, buffer, std::size_t(size)));
}

tmsize_t gatedWrite(thandle_t handle, void* buffer, tmsize_t size) {
    WriteGate& gate = gateOf(handle);
    if (gate.closed && gate.closed->load(std::memory_order_relaxed) != 0) {
        gate.failed = true;
        return -1;
    }
    const std::int64_t put = platform::writeFile(gate.file, buffer, std::size_t(size));
    if (put != size)
        gate.failed = true;
    return tmsize_t(put);
}

toff_t gatedSeek(thandle_t handle, toff_t offset, int whence) {
    const auto position = platform::seekFile(gateOf(handle).file, std::int64_t(offset), whence);
    return position ? toff_t(*position) : toff_t(-1);
}

int gatedClose(thandle_t handle) {
    platform::closeFile(gateOf(handle).file);
    return 0;
}

toff_t gatedSize(thandle_t handle) {
    return platform::fileSize(gateOf(handle).file).value_or(0);
}

int noMapping(thandle_t, void**, toff_t*) {
    return 0;
}

void noUnmapping(thandle_t, void*, toff_t) {}

} // namespace

TIFF* openTiff(const std::string& path, const char* mode, TiffMessages* messages,
               std::size_t mostAllocation) {
    const auto options = handleOptions(messages, mostAllocation);
    if (!options)
        return nullptr;
    return platform::openTiffByName(path, mode, options.get());
}

TIFF* openTiffDescriptor(int descriptor, const std::string& name, const char* mode,
                         TiffMessages* messages, std::size_t mostAllocation) {
    const auto options = handleOptions(messages, mostAllocation);
    if (!options)
        return nullptr;
    return TIFFFdOpenExt(descriptor, name.c_str(), mode, options.get());
}

TIFF* openTiffClient(const std::string& name, const char* mode, thandle_t client,
                     const TiffClientCalls& calls, TiffMessages* messages,
                     std::size_t mostAllocation) {
    const auto options = handleOptions(messages, mostAllocation);
    if (!options)
        return nullptr;
    return TIFFClientOpenExt(name.c_str(), mode, client, calls.read, calls.write, calls.seek,
                             calls.close, calls.size, calls.map, calls.unmap, options.get());
}

TIFF* openTiffGated(WriteGate& gate, const std::string& name, const char* mode,
                    TiffMessages* messages) {
    const auto options = handleOptions(messages, kMaxAllocationBytes);
    if (!options)
        return nullptr;
    TIFF* tiff = TIFFClientOpenExt(name.c_str(), mode, &gate, gatedRead, gatedWrite, gatedSeek,
                                   gatedClose, gatedSize, noMapping, noUnmapping, options.get());
    if (tiff)
        TIFFSetFileno(tiff, gate.file);
    return tiff;
}

} // namespace pagesmith
