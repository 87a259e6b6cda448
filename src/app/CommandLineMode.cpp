#include "app/CommandLineMode.h"

#include "app/MessageSink.h"
#include "app/ProcessState.h"
#include "app/RunLog.h"
#include "batch/BatchOperations.h"
#include "batch/BatchRequest.h"
#include "batch/ReportLine.h"

#include <cstdio>

namespace pagesmith {

int runCommandLineMode(BatchRequest& request, const std::string& commandLine) {
    ProcessState& state = processState();
    // Seen only when output is redirected; the batch may take a while.
    std::fputs("Please Wait...\n", stdout);
    std::fflush(stdout);

    request.resultText = state.shortLog ? std::string()
                                        : formatText("\nCMD : %s %s\n", state.modulePath.c_str(),
                                                     commandLine.c_str());
    runBatch(request, request.merge, kMessageBufferTarget);
    appendRunLog(state.logPath, request.resultText);
    if (!request.quiet)
        showMessage("Pagesmith Results", request.resultText, MessageKind::Result);
    return 0;
}

} // namespace pagesmith
