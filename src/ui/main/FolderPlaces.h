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
};

// The home folder, the file-system root, then each mounted removable or
// network volume, as a file manager lists them.
std::vector<FolderPlace> systemPlaces();

} // namespace pagesmith
