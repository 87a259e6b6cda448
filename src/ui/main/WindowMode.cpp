#include "ui/main/WindowMode.h"

#include "app/ProcessSettings.h"
#include "app/SettingsStore.h"
#include "app/StopSignals.h"
#include "platform/Display.h"
#include "ui/jobs/BatchJobRunner.h"
#include "ui/jobs/JobCommands.h"
#include "ui/main/MainFrame.h"
#include "ui/main/WindowState.h"
#include "ui/toolkit/CorePaths.h"
#include "ui/toolkit/GuiApplication.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

namespace pagesmith {

namespace {

// How often the window looks whether the process was asked to end.
constexpr int kStopWatchMilliseconds = 100;

} // namespace

int runWindowMode(ProcessSettings& settings, MessageSink& messages) {
    BatchJobRunner jobs;
    return runMainWindow(settings, messages, jobs);
}

int runMainWindow(ProcessSettings& settings, MessageSink& messages, BatchJobRunner& jobs) {
    if (platform::detectDisplay() == platform::DisplayKind::None) {
        std::fputs("Pagesmith: cannot open the main window: no display\n", stderr);
        return 1;
    }
    ensureGuiApplication();
    // The frame ends the loop itself, with its own exit code.
    QApplication::setQuitOnLastWindowClosed(false);
    int result = 0;
    {
        // The window comes back as the user left it.
        WindowState state = readWindowState();
        MainFrame frame(settings, messages);
        JobCommands commands(frame, jobs, settings, messages);
        frame.connectJobCommands(commands);
        // Asked to end (a log-out's SIGTERM): the window goes as when closed,
        // and the running job stops in the file in hand.
        QTimer stopWatch;
        QObject::connect(&stopWatch, &QTimer::timeout, [&settings] {
            if (settings.interruption && settings.interruption->load() != 0)
                QApplication::exit(exitStatusAfter(settings.interruption, 0));
        });
        stopWatch.start(kStopWatchMilliseconds);
        frame.applyWindowState(state);
        commands.setDestination(corePath(state.saveFolder), state.mergedFileName.toStdString());
        QStringList openPaths;
        for (const std::string& path : settings.windowPaths)
            openPaths << qtPath(path);
        frame.showAtStart(state, openPaths);
        result = QApplication::exec();
        // Jobs still waiting never begin; the running one stops after the
        // file in hand, as with Cancel.
        jobs.stopBatchJob();

        state = frame.windowState();
        state.saveFolder = QString::fromStdString(commands.destinationFolder());
        state.mergedFileName = QString::fromStdString(commands.mergedFileName());
        writeWindowState(state);
    }
    // The window is gone; the job reports into its own copy of the results.
    jobs.waitForRunningJob();
    // A log file chosen in the window is used again at the next start.
    writeSetting(kLogPathSetting, settings.logPath);
    return result;
}

} // namespace pagesmith
