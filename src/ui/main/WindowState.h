#pragma once

#include <QByteArray>
#include <QString>
#include <Qt>

#include <optional>

namespace pagesmith {

// What the window keeps from one run to the next, in the settings store
// beside the run-log path: where the user was, how the window was laid out
// and the choices they made.
struct WindowState {
    QString lastFolder;
    QByteArray geometry; // empty: never stored; the window opens maximised
    bool maximised = true;
    // The first pane's share of each splitter: the folder tree's of the
    // width, the file list's of the height.
    std::optional<double> treeShare;
    std::optional<double> listShare;
    // The page preview beside the list: shown or not, and the list's share
    // of the width they have together.
    bool previewShown = true;
    std::optional<double> previewShare;
    bool includeSubFolders = false;
    bool keepFileNames = false;
    int filter = 0;
    int sortColumn = 0;
    Qt::SortOrder sortOrder = Qt::AscendingOrder;
    QString saveFolder;
    QString mergedFileName = QStringLiteral("me_tiff");
};

// The stored state; the values of a first start where nothing (or nothing
// sensible) is stored.
WindowState readWindowState();
void writeWindowState(const WindowState& state);

} // namespace pagesmith
