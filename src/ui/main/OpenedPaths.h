#pragma once

#include <QString>
#include <QStringList>

namespace pagesmith {

// What the window shows for paths dropped on it or named on its command line.
struct OpenedPaths {
    QString folder;    // empty: nothing to show
    QStringList files; // to be checked, named relative to folder; empty: a folder was given
};

// The first path that exists decides. A folder is shown as it is. A file
// shows its folder, and the files named that lie in that folder (or below
// it) are the ones to check. Paths that do not exist are passed over;
// relative ones count from the working folder.
OpenedPaths sortOpenedPaths(const QStringList& paths);

} // namespace pagesmith
