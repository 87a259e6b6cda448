#include "platform/SystemPlaces.h"

#include "platform/DriveKind.h"

#include <QDir>
#include <QStorageInfo>

namespace pagesmith::platform {

namespace {

DriveKind kindOf(const QStorageInfo& volume) {
    return driveKind(QDir::toNativeSeparators(volume.rootPath()).toStdString(),
                     volume.device().toStdString(), volume.fileSystemType().toStdString());
}

PlaceIcon iconOf(DriveKind kind) {
    return kind == DriveKind::Network ? PlaceIcon::Network : PlaceIcon::Drive;
}

bool mayChange(DriveKind kind) {
    return kind == DriveKind::Removable || kind == DriveKind::Network;
}

} // namespace

#ifdef _WIN32

namespace {

// The names Explorer gives the places.
const QString kThisPcName = QStringLiteral("This PC");
const QString kLocalDiskName = QStringLiteral("Local Disk");

} // namespace

std::vector<SystemPlace> systemPlaces() {
    std::vector<SystemPlace> places;
    places.push_back({QDir::home().dirName(), QDir::homePath(), PlaceIcon::Folder, false, {}});
    SystemPlace thisPc{kThisPcName, QString(), PlaceIcon::Computer, false, {}};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const DriveKind kind = kindOf(volume);
        const QString label = volume.name().isEmpty() ? kLocalDiskName : volume.name();
        // "Local Disk (C:)"
        const QString drive = QDir::toNativeSeparators(volume.rootPath()).chopped(1);
        thisPc.places.push_back({label + QStringLiteral(" (") + drive + QLatin1Char(')'),
                                 volume.rootPath(),
                                 iconOf(kind),
                                 mayChange(kind),
                                 {}});
    }
    places.push_back(std::move(thisPc));
    return places;
}

#else

namespace {

// The names a file manager gives the two fixed places.
const QString kHomeName = QStringLiteral("Home");
const QString kRootName = QStringLiteral("File System");

} // namespace

std::vector<SystemPlace> systemPlaces() {
    std::vector<SystemPlace> places;
    places.push_back({kHomeName, QDir::homePath(), PlaceIcon::Folder, false, {}});
    places.push_back({kRootName, QDir::rootPath(), PlaceIcon::Computer, false, {}});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.isRoot())
            continue;
        const DriveKind kind = kindOf(volume);
        if (!mayChange(kind))
            continue;
        places.push_back({volume.displayName(), volume.rootPath(), iconOf(kind), true, {}});
    }
    return places;
}

#endif

} // namespace pagesmith::platform
