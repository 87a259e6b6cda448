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

// The places as the system's file manager lists them
// (platform::systemPlaces()), with the icons the tree draws.
std::vector<FolderPlace> systemPlaces();

} // namespace pagesmith
