#include "engine/PageSettings.h"

#include "batch/BatchRequest.h"

namespace pagesmith {

void PageSettings::startRun(const ConversionOptions& options, int inputCount, int target) {
    *this = PageSettings{};
    progressTarget = target;
    jpegQuality = options.jpegQuality;
    outputTiled = options.outputTiled;
    pageCounter = inputCount == 1 ? -1 : 0;
}

void PageSettings::startPage(const ConversionOptions& options) {
    predictor = -1;
    planarConfig = -1;
    fillOrder = options.fillOrder;
    rowsPerStrip = 0;
    tileWidth = -1;
    tileLength = -1;
    inputDecodedAsRgb = false;
}

} // namespace pagesmith
