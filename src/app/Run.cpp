#include "app/Run.h"

#include "app/CommandLineMode.h"
#include "app/CommandLineText.h"
#include "app/ProcessSettings.h"
#include "app/ScratchFile.h"
#include "app/StartupPaths.h"
#include "app/StopSignals.h"
#include "app/StreamMessageSink.h"
#include "app/UsageText.h"
#include "app/WatchMode.h"
#include "app/WindowOption.h"
#include "batch/BatchRequest.h"
#include "batch/CommandLineParser.h"
#include "platform/Console.h"
#include "platform/Display.h"
#include "platform/MemoryReuse.h"
#include "platform/ProgramFile.h"
#include "tiff/TiffDiagnostics.h"

#include <cstdio>

namespace pagesmith {

int run(int argc, const char* const* argv, const WindowMode& windowMode,
        MessageSink& screenMessages) {
    platform::prepareStandardStreams();
    // Answered before anything else: no settings read, no scratch folder, no log.
    if (const std::optional<std::string> text = usageOrVersionText(argc, argv)) {
        std::fputs(text->c_str(), stdout);
        return 0;
    }
    silenceTiffDiagnostics();
    platform::keepFreedMemoryForReuse();
    // Constructed before the scratch folder, so gone after it: a signal that
    // comes while the folder is removed still waits for that.
    const StopSignals stopSignals;
    StreamMessageSink streams;
    MessageSink& messages = platform::detectDisplay() == platform::DisplayKind::Interactive &&
                                    !platform::prefersTextOutput()
                                ? screenMessages
                                : streams;

    const ScratchFile scratch;
    ProcessSettings settings =
        startupSettings(platform::runningProgramPath(argc > 0 ? argv[0] : nullptr), scratch.path());

    BatchRequest request;
    request.reset();
    request.options.tempFile = settings.scratchPath;
    request.options.threads = settings.threads;
    settings.interruption = StopSignals::flag();
    request.options.interruption = settings.interruption;

    // "--window PATH...": the window, at what the paths name; no batch.
    if (std::optional<std::vector<std::string>> paths = windowOptionPaths(argc, argv)) {
        settings.windowPaths = std::move(*paths);
        return windowMode(settings, messages);
    }

    const int parsed =
        parseCommandLine(request, commandLineArguments(argc, argv), settings.logPath, messages);
    // Only the log's command header shows the arguments as one text.
    const std::optional<std::string> commandLine = commandLineText(argc, argv);
    settings.shortLog = request.options.shortLog; // "/sl" counts for the window too
    if (parsed == kRunBatch && request.watch.on)
        return runWatchMode(request, *commandLine, settings);
    if (parsed == kRunBatch)
        return runCommandLineMode(request, *commandLine, settings, messages);
    // A window nobody can see would wait for ever for a click.
    if (platform::detectDisplay() == platform::DisplayKind::Offscreen) {
        std::fputs("Pagesmith: cannot open the main window: no one can see it "
                   "(QT_QPA_PLATFORM is offscreen or minimal)\n",
                   stderr);
        return 1;
    }
    return windowMode(settings, messages);
}

} // namespace pagesmith
