#pragma once

#include <QAbstractFileIconProvider>
#include <QString>

#include <vector>

namespace pagesmith {

// A place the folder tree lists under the desktop before the desktop's own
// folders.
struct FolderPlace {
    QString name;
    QString path;
    QAbstractFileIconProvider::IconType icon = QAbstractFileIconProvider::Folder;
    // Removable or network: what it holds may change under us, so an empty or
    // unreadable answer is asked again at the next expansion.
    bool removableOrNetwork = false;
    // Places shown inside this one instead of folders: the drives of "This
    // PC", which has no folder of its own.
    std::vector<FolderPlace> places;
};

// As the system's file manager lists them: on Linux the home folder, the
// file-system root, then each mounted removable or network volume; on
// Windows the user's folder, then "This PC" with a place for each drive.
std::vector<FolderPlace> systemPlaces();

} // namespace pagesmith
