#include "app/Run.h"

#include "app/CommandLineMode.h"
#include "app/CommandLineText.h"
#include "app/DialogMessageSink.h"
#include "app/GuiEnvironment.h"
#include "app/ScratchFile.h"
#include "app/StartupPaths.h"
#include "app/WindowMode.h"
#include "batch/BatchRequest.h"
#include "batch/CommandLineParser.h"
#include "engine/TiffDiagnostics.h"

namespace pagesmith {

int run(int argc, const char* const* argv) {
    silenceTiffDiagnostics();
    static DialogMessageSink dialogs;
    if (detectDisplay() == DisplayKind::Interactive)
        setMessageSink(&dialogs);

    const ScratchFile scratch;
    initialiseProcessPaths(currentModulePath(argc > 0 ? argv[0] : nullptr), scratch.path());

    BatchRequest request;
    request.reset();
    request.options.tempFile = scratch.path();

    const std::optional<std::string> commandLine = commandLineText(argc, argv);
    if (parseCommandLine(request, commandLine) == kRunBatch)
        return runCommandLineMode(request, *commandLine);
    return runWindowMode();
}

} // namespace pagesmith
