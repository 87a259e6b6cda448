#include "ui/main/FolderPlaces.h"

#include "platform/SystemPlaces.h"

namespace pagesmith {

namespace {

QAbstractFileIconProvider::IconType iconOf(platform::PlaceIcon icon) {
    switch (icon) {
    case platform::PlaceIcon::Computer:
        return QAbstractFileIconProvider::Computer;
    case platform::PlaceIcon::Drive:
        return QAbstractFileIconProvider::Drive;
    case platform::PlaceIcon::Network:
        return QAbstractFileIconProvider::Network;
    case platform::PlaceIcon::Folder:
        break;
    }
    return QAbstractFileIconProvider::Folder;
}

FolderPlace folderPlaceOf(const platform::SystemPlace& place) {
    FolderPlace shown{place.name, place.path, iconOf(place.icon), place.removableOrNetwork, {}};
    for (const platform::SystemPlace& inside : place.places)
        shown.places.push_back(folderPlaceOf(inside));
    return shown;
}

} // namespace

std::vector<FolderPlace> systemPlaces() {
    std::vector<FolderPlace> places;
    for (const platform::SystemPlace& place : platform::systemPlaces())
        places.push_back(folderPlaceOf(place));
    return places;
}

} // namespace pagesmith
