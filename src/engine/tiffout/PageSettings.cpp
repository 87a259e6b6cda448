#include "engine/tiffout/PageSettings.h"

#include "engine/ConversionOptions.h"

namespace pagesmith {

void PageSettings::startRun(const ConversionOptions& options, int inputCount,
                            ReadAhead runReadAhead) {
    *this = PageSettings{};
    readAhead = runReadAhead;
    jpegQuality = options.jpegQuality;
    outputTiled = options.outputTiled;
    pageCounter = inputCount == 1 ? -1 : 0;
}

void PageSettings::startPage(const ConversionOptions& options) {
    fillOrder = options.fillOrder;
    rowsPerStrip = 0;
    tileWidth = -1;
    tileLength = -1;
    inputDecodedAsRgb = false;
    eightBitSamples = false;
    refusal.clear();
}

bool applyCompressionMode(CompressionMode mode, std::string& outputName, int keepName,
                          PageSettings& settings) {
    settings.group3Options = 0;
    const CompressionModeInfo* info = compressionModeInfo(mode);
    if (!info)
        return false;
    settings.outputCompression = info->compression;
    if (info->group3Options >= 0)
        settings.group3Options = static_cast<std::uint32_t>(info->group3Options);
    settings.jpegColorModeRgb = info->jpegColorModeRgb;
    if (!keepName)
        outputName += info->suffix;
    return true;
}

} // namespace pagesmith
