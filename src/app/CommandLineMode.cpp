#include "app/CommandLineMode.h"

#include "app/ProcessSettings.h"
#include "app/RunLog.h"
#include "app/StopSignals.h"
#include "app/TerminalProgress.h"
#include "batch/BatchOperations.h"
#include "batch/BatchRequest.h"
#include "batch/MessageSink.h"
#include "batch/ReportText.h"

#include <cstdio>
#include <optional>

namespace pagesmith {

namespace {

// Follows the batch for the command line: the progress line on a terminal,
// the engine's fault boxes.
class CommandLineObserver : public BatchObserver {
public:
    explicit CommandLineObserver(MessageSink& messages) : m_messages(messages) {
        if (TerminalProgress::isTerminal(platform::StandardStream::Error))
            m_progress.emplace(platform::StandardStream::Error);
    }

    void fileStarted(int done, int total, const std::string& path) override {
        if (m_progress)
            m_progress->fileStarted(done, total, path);
    }
    void faultShown(const std::string& caption, const std::string& text) override {
        m_messages.show(caption, text, MessageKind::Error);
    }
    // Before the results reach the same terminal.
    void erase() {
        if (m_progress)
            m_progress->erase();
    }

private:
    MessageSink& m_messages;
    std::optional<TerminalProgress> m_progress;
};

} // namespace

int runCommandLineMode(const BatchRequest& request, const std::string& commandLine,
                       const ProcessSettings& settings, MessageSink& messages) {
    // Seen only when output is redirected; the batch may take a while.
    std::fputs("Please Wait...\n", stdout);
    std::fflush(stdout);

    CommandLineObserver observer(messages);
    const BatchResult result = runBatch(request, observer);
    observer.erase();
    const std::string report = commandLineReport(result, settings.modulePath, commandLine);
    appendRunLog(settings.logPath, report, settings.shortLog);
    // Asked to end, the process does not wait for a click.
    const bool stopped = exitStatusAfter(settings.interruption, 0) != 0;
    if (!request.quiet && !stopped)
        messages.show("Pagesmith Results", report, MessageKind::Result);
    return exitStatusAfter(settings.interruption, result.failures > 0 ? kExitSomethingFailed : 0);
}

} // namespace pagesmith
