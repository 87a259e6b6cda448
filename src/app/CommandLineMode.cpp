#include "app/CommandLineMode.h"

#include "app/ProcessSettings.h"
#include "app/RunLog.h"
#include "app/TerminalProgress.h"
#include "batch/BatchOperations.h"
#include "batch/BatchRequest.h"
#include "batch/MessageSink.h"
#include "batch/ReportRoute.h"

#include <cstdio>
#include <optional>
#include <unistd.h>

namespace pagesmith {

int runCommandLineMode(BatchRequest& request, const std::string& commandLine,
                       const ProcessSettings& settings, MessageSink& messages) {
    // Seen only when output is redirected; the batch may take a while.
    std::fputs("Please Wait...\n", stdout);
    std::fflush(stdout);

    request.resultText =
        settings.shortLog
            ? std::string()
            : formatText("\nCMD : %s %s\n", settings.modulePath.c_str(), commandLine.c_str());
    ReportRoute route(kMessageBufferTarget, nullptr, messages); // no window on the command line
    std::optional<TerminalProgress> progress;
    if (TerminalProgress::isTerminal(STDERR_FILENO)) {
        progress.emplace(STDERR_FILENO);
        route.setProgress(&*progress);
    }
    runBatch(request, request.merge, route);
    if (progress)
        progress->erase(); // before the results reach the same terminal
    appendRunLog(settings.logPath, request.resultText, settings.shortLog);
    if (!request.quiet)
        messages.show("Pagesmith Results", request.resultText, MessageKind::Result);
    return route.failures() > 0 ? kExitSomethingFailed : 0;
}

} // namespace pagesmith
