#pragma once

#include "engine/CompressionChoice.h"

#include <atomic>
#include <cstdint>
#include <string>

namespace pagesmith {

// Engine settings handed to convertFiles for one conversion or merge.
struct ConversionOptions {
    CompressionMode compressionMode = kDefaultCompressionMode;
    int jpegQuality = 75;
    std::uint16_t fillOrder = 0; // 0: as the input page
    int outputTiled = -1;        // -1: tiled if and only if the run's first page is tiled
    int append = 0;              // nonzero: add pages to an existing output file
    int keepName = 1;            // nonzero: no compression suffix in the output name
    std::string tempFile;        // scratch TIFF for colour pages bound for fax
    int shortLog = 0;            // "/sl": no line per page (the batch reports shorter too)
    int threads = 0;             // cores a run may keep busy: 0 every core, 1 one thread only
    // Nonzero from outside (a signal): the run stops at once, its output unwritten.
    const std::atomic<int>* interruption = nullptr;

    // Back to the defaults above; the owner then points tempFile at its scratch file.
    void reset() { *this = ConversionOptions{}; }
};

// Whether the options' run has been told to stop.
inline bool isInterrupted(const ConversionOptions& options) {
    return options.interruption && options.interruption->load(std::memory_order_relaxed) != 0;
}

} // namespace pagesmith
