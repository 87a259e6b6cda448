#pragma once

#include <QString>

#include <vector>

namespace pagesmith::platform {

enum class PlaceIcon { Folder, Computer, Drive, Network };

// A place the system's file manager lists before the desktop's own folders.
struct SystemPlace {
    QString name;
    QString path;
    PlaceIcon icon = PlaceIcon::Folder;
    // Removable or network: what it holds may change under us.
    bool removableOrNetwork = false;
    // Places shown inside this one instead of folders: the drives of "This
    // PC", which has no folder of its own.
    std::vector<SystemPlace> places;
};

// As the system's file manager lists them: on Linux the home folder, the
// file-system root, then each mounted removable or network volume; on
// Windows the user's folder, then "This PC" with a place for each drive.
std::vector<SystemPlace> systemPlaces();

} // namespace pagesmith::platform
