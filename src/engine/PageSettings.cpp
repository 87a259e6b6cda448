#include "engine/PageSettings.h"

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

} // namespace pagesmith
