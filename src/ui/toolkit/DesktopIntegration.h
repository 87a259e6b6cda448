#pragma once

#include <QString>
#include <QStringList>

class QIcon;
class QUrl;

namespace pagesmith {

// Where the program meets the desktop it runs on: its identity for the window
// manager and the task bar, opening web and mail addresses, and finding and
// opening the help. The rest of the window code is the same on every platform.
class DesktopIntegration {
public:
    // The name of the .desktop entry (and of the icon) an install puts in place.
    static constexpr const char* kDesktopEntryName = PAGESMITH_APP_ID;
    // The user guide, installed beside the program or in the documentation folder.
    static constexpr const char* kUserGuideName = "pagesmith-guide.html";

    // Gives every window of the program this icon and ties the windows to the
    // installed desktop entry.
    static void setProgramIdentity(const QIcon& icon);

    // Opens a web page, a "mailto:" address or a file with the desktop's
    // handler; false when none took it.
    static bool openUrl(const QUrl& url);

    // What the Help command opens for the program at programPath: the program's
    // path with its extension replaced by ".chm" (appended when it has none),
    // when that file exists; else the user guide beside the program, in the
    // documentation folder of the program's install prefix, or in one of
    // docFolders; else an empty text (nothing to open).
    static QString helpTarget(const QString& programPath,
                              const QStringList& docFolders = standardDocFolders());

    // The documentation folders of the desktop's data directories.
    static QStringList standardDocFolders();

    // Opens helpTarget(programPath); nothing happens when there is none.
    static void openHelp(const QString& programPath);
};

} // namespace pagesmith
