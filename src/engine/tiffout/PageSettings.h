#pragma once

#include "engine/CompressionChoice.h"
#include "engine/tiffout/ReadAhead.h"

#include <cstdint>
#include <string>

namespace pagesmith {

struct ConversionOptions;

// State of one conversion run: set at the start of the run and before each
// page, read by the page set-up and the copy routines. Owned by the run.
struct PageSettings {
    // Run-wide, set by applyCompressionMode and the run's options.
    std::uint16_t outputCompression = 0;
    std::uint32_t group3Options = 0; // 0, 1, 4 or 5 for Group 3 modes
    bool jpegColorModeRgb = false;   // the codec is handed RGB samples (JPEG output)
    int jpegQuality = 75;
    int outputTiled = -1; // -1 until the run's first page decides it
    int pageCounter = -1; // -1 with one input: PageNumber kept; else the next number
    ReadAhead readAhead;  // the run's spare cores and pages decoded ahead

    // Per page, reset before each page.
    std::uint16_t fillOrder = 0;    // 0: as the input page
    std::uint32_t rowsPerStrip = 0; // 0: decided by the page set-up
    std::int64_t tileWidth = -1;    // -1: as the input page
    std::int64_t tileLength = -1;
    // The input is a YCbCr JPEG page read back as RGB for an output that is not
    // JPEG: the output page is labelled RGB (set by the page set-up).
    bool inputDecodedAsRgb = false;
    // The page goes to an encoder that cannot take its samples as they are
    // (JPEG): they are written made 8-bit (set by the page set-up).
    bool eightBitSamples = false;
    // Why the page set-up refused the page, for the report; empty when it
    // gave no reason.
    std::string refusal;

    void startRun(const ConversionOptions& options, int inputCount, ReadAhead runReadAhead);
    void startPage(const ConversionOptions& options);
};

// Sets the run's compression settings and, unless keepName, appends the mode's
// suffix to outputName. False for a mode outside the table.
bool applyCompressionMode(CompressionMode mode, std::string& outputName, int keepName,
                          PageSettings& settings);

} // namespace pagesmith
