#include "ui/main/WindowMode.h"

#include "app/Display.h"
#include "app/ProcessSettings.h"
#include "app/SettingsStore.h"
#include "ui/main/MainFrame.h"
#include "ui/toolkit/GuiApplication.h"

#include <QApplication>

#include <cstdio>

namespace pagesmith {

int runWindowMode(ProcessSettings& settings, MessageSink& messages) {
    if (detectDisplay() == DisplayKind::None) {
        std::fputs("Pagesmith: cannot open the main window: no display\n", stderr);
        return 1;
    }
    ensureGuiApplication();
    // The frame ends the loop itself, with its own exit code.
    QApplication::setQuitOnLastWindowClosed(false);
    int result = 0;
    {
        MainFrame frame(settings, messages);
        frame.showMaximized();
        result = QApplication::exec();
    }
    // A log file chosen in the window is used again at the next start.
    writeSetting(kLogPathSetting, settings.logPath);
    return result;
}

} // namespace pagesmith
