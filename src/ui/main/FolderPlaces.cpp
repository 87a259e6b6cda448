#include "ui/main/FolderPlaces.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>

#include <algorithm>
#include <array>

namespace pagesmith {

namespace {

// The names a file manager gives the two fixed places.
const QString kHomeName = QStringLiteral("Home");
const QString kRootName = QStringLiteral("File System");

bool isNetworkFileSystem(const QByteArray& type) {
    static const std::array<QByteArray, 10> kTypes = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "fuse.sshfs", "sshfs", "davfs"};
    return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

// The kernel marks removable media on the disk ("sdb"), not on its partition
// ("sdb1"); the partition's folder in sysfs lies inside the disk's.
bool isRemovableDevice(const QByteArray& device) {
    if (!device.startsWith("/dev/"))
        return false;
    const QString block =
        QStringLiteral("/sys/class/block/") + QString::fromLocal8Bit(device.mid(5));
    for (const QString& flag :
         {block + QStringLiteral("/removable"), block + QStringLiteral("/../removable")}) {
        QFile file(flag);
        if (file.open(QIODevice::ReadOnly))
            return file.read(1) == "1";
    }
    return false;
}

// Where desktop mounters put removable media.
bool isMediaMountPoint(const QString& rootPath) {
    return rootPath.startsWith(QStringLiteral("/media/")) ||
           rootPath.startsWith(QStringLiteral("/run/media/"));
}

} // namespace

std::vector<FolderPlace> systemPlaces() {
    std::vector<FolderPlace> places;
    places.push_back({kHomeName, QDir::homePath(), QAbstractFileIconProvider::Folder, false});
    places.push_back({kRootName, QDir::rootPath(), QAbstractFileIconProvider::Computer, false});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || volume.isRoot())
            continue;
        const bool network = isNetworkFileSystem(volume.fileSystemType());
        if (!network && !isRemovableDevice(volume.device()) &&
            !isMediaMountPoint(volume.rootPath()))
            continue;
        places.push_back(
            {volume.displayName(), volume.rootPath(),
             network ? QAbstractFileIconProvider::Network : QAbstractFileIconProvider::Drive,
             true});
    }
    return places;
}

} // namespace pagesmith
