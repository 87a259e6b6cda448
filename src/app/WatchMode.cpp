#include "app/WatchMode.h"

#include "app/CommandLineMode.h"
#include "app/ProcessSettings.h"
#include "app/RunLog.h"
#include "app/TerminalProgress.h"
#include "batch/BatchRequest.h"
#include "batch/ReportText.h"
#include "batch/watch/HotFolder.h"
#include "inspect/ReportLines.h"
#include "platform/Console.h"
#include "platform/StopRequests.h"

#include <QCoreApplication>

#include <optional>

namespace pagesmith {

namespace {

class CommandLineWatch : public HotFolderObserver {
public:
    CommandLineWatch(const BatchRequest& request, const ProcessSettings& settings)
        : m_folder(request.sourceFolder), m_logPath(settings.logPath),
          m_shortLog(request.options.shortLog) {
        if (TerminalProgress::isTerminal(platform::StandardStream::Error))
            m_progress.emplace(platform::StandardStream::Error);
    }

    void entryWritten(const std::string& report) override {
        erase();
        platform::writeToStream(platform::StandardStream::Output, report);
        appendRunLog(m_logPath, report, m_shortLog);
        draw();
    }
    void countsChanged(const WatchCounts& counts) override {
        m_counts = counts;
        draw();
    }
    void faultShown(const std::string& caption, const std::string& text) override {
        erase();
        platform::writeToStream(platform::StandardStream::Error, caption + ": " + text + "\n");
        draw();
    }
    void erase() {
        if (m_progress)
            m_progress->erase();
    }

private:
    void draw() {
        if (!m_progress)
            return;
        m_progress->showWatch(m_folder, m_counts.converted, m_counts.failed,
                              m_counts.folderPresent);
    }

    std::string m_folder;
    std::string m_logPath;
    int m_shortLog;
    WatchCounts m_counts;
    std::optional<TerminalProgress> m_progress;
};

} // namespace

int runWatchMode(const BatchRequest& request, const std::string& commandLine,
                 const ProcessSettings& settings) {
    if (const std::optional<std::string> refusal = watchRefusal(request)) {
        platform::writeToStream(platform::StandardStream::Error, "pagesmith: " + *refusal + "\n");
        return kExitWatchRefused;
    }
    // The portable event source runs Qt's event loop, which wants this.
    int argc = 1;
    char name[] = "pagesmith";
    char* argv[] = {name, nullptr};
    std::optional<QCoreApplication> application;
    if (!QCoreApplication::instance())
        application.emplace(argc, argv);

    platform::writeToStream(platform::StandardStream::Output,
                            formatText("Watching %s, converting into %s; %s ends\n",
                                       shownName(request.sourceFolder).c_str(),
                                       shownName(request.saveFolder).c_str(),
                                       platform::stopRequestWords()));
    CommandLineWatch observer(request, settings);
    HotFolder watch(request, commandLead(settings.modulePath, commandLine), observer);
    const WatchCounts counts = watch.run(settings.interruption);
    observer.erase();
    // A stop signal is how a watch ends: not a failure of its own.
    return counts.failed > 0 ? kExitSomethingFailed : 0;
}

} // namespace pagesmith
