#include "support/ConvertOnce.h"

#include "app/ProcessState.h"
#include "batch/BatchRequest.h"
#include "engine/ConvertFiles.h"
#include "engine/TiffDiagnostics.h"

#include <cstdio>

namespace pagesmith::bench {

int convertOnce(const char* input, const char* outputBase, int compressionMode, int outputTiled,
                const char* scratchFile) {
    silenceTiffDiagnostics();
    ConversionOptions options;
    options.compressionMode = compressionMode;
    options.outputTiled = outputTiled;
    options.keepName = 1;
    options.tempFile = scratchFile;
    const int result =
        convertFiles(1, {std::string(input)}, outputBase, options, kMessageBufferTarget);
    if (processState().messageBuffer.find("failed") != std::string::npos) {
        std::fprintf(stderr, "%s", processState().messageBuffer.c_str());
        return 1;
    }
    return result == kConvertDone ? 0 : 1;
}

} // namespace pagesmith::bench
