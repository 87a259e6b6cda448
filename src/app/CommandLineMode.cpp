#include "app/CommandLineMode.h"

#include "app/ProcessSettings.h"
#include "app/RunLog.h"
#include "batch/BatchOperations.h"
#include "batch/BatchRequest.h"
#include "batch/MessageSink.h"
#include "batch/ReportRoute.h"

#include <cstdio>

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
    runBatch(request, request.merge, route);
    appendRunLog(settings.logPath, request.resultText, settings.shortLog);
    if (!request.quiet)
        messages.show("Pagesmith Results", request.resultText, MessageKind::Result);
    return 0;
}

} // namespace pagesmith
