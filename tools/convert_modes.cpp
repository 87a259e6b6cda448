// Converts every TIFF file of a folder in each compression mode, one batch
// per mode, through the same batch code as the program: mode N goes into
// SAVE/N. The command line names seven of the modes; this reaches the two
// that only the window offers too, so that the Windows and Linux builds'
// outputs can be compared mode by mode.
//   convert-modes SOURCE-FOLDER SAVE-FOLDER [MODE...]
#include "app/ScratchFile.h"
#include "base/Paths.h"
#include "batch/BatchObserver.h"
#include "batch/BatchOperations.h"
#include "batch/BatchRequest.h"
#include "batch/FolderScan.h"
#include "engine/CompressionChoice.h"
#include "platform/ProgramArguments.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace pagesmith;

int main(int argc, char** argv) {
    const std::vector<std::string> arguments = platform::programArguments(argc, argv);
    if (arguments.size() < 3) {
        std::fprintf(stderr, "usage: convert-modes SOURCE-FOLDER SAVE-FOLDER [MODE...]\n");
        return 2;
    }
    std::vector<int> modes;
    for (std::size_t i = 3; i < arguments.size(); ++i)
        modes.push_back(std::atoi(arguments[i].c_str()));
    if (modes.empty())
        for (int mode = 0; mode < kCompressionModeCount; ++mode)
            modes.push_back(mode);
    const ScratchFile scratch;
    int failures = 0;
    for (const int mode : modes) {
        BatchRequest request;
        request.reset();
        request.options.tempFile = scratch.path();
        request.sourceFolder = arguments[1];
        scanFolder(request, request.sourceFolder, 0, CompressionFilter::All);
        request.operation = BatchOperation::ConvertIntoFolder;
        request.saveFolder = arguments[2] + kPathSeparator + std::to_string(mode);
        request.options.compressionMode = CompressionMode(mode);
        BatchObserver quiet;
        const BatchResult result = runBatch(request, quiet);
        failures += result.failures;
    }
    return failures == 0 ? 0 : 1;
}
