#include "platform/DriveKind.h"

#ifdef _WIN32
#include "platform/Utf8Paths.h"

#include <windows.h>
#else
#include <algorithm>
#include <array>
#include <fstream>
#endif

namespace pagesmith::platform {

#ifdef _WIN32

DriveKind driveKind(const std::string& rootPath, const std::string&, const std::string&) {
    std::wstring root = wideFromUtf8(rootPath);
    if (!root.empty() && root.back() != L'\\' && root.back() != L'/')
        root += L'\\';
    switch (GetDriveTypeW(root.c_str())) {
    case DRIVE_FIXED:
        return DriveKind::Fixed;
    case DRIVE_REMOVABLE:
    case DRIVE_CDROM:
        return DriveKind::Removable;
    case DRIVE_REMOTE:
        return DriveKind::Network;
    default:
        return DriveKind::Other;
    }
}

#else

namespace {

bool isNetworkFileSystem(const std::string& type) {
    static const std::array<std::string, 10> kTypes = {
        "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "fuse.sshfs", "sshfs", "davfs"};
    return std::find(kTypes.begin(), kTypes.end(), type) != kTypes.end();
}

// The kernel marks removable media on the disk ("sdb"), not on its partition
// ("sdb1"); the partition's folder in sysfs lies inside the disk's.
bool isRemovableDevice(const std::string& device) {
    if (device.rfind("/dev/", 0) != 0)
        return false;
    const std::string block = "/sys/class/block/" + device.substr(5);
    for (const std::string& flag : {block + "/removable", block + "/../removable"}) {
        std::ifstream file(flag);
        char removable = '0';
        if (file.get(removable))
            return removable == '1';
    }
    return false;
}

// Where desktop mounters put removable media.
bool isMediaMountPoint(const std::string& rootPath) {
    return rootPath.rfind("/media/", 0) == 0 || rootPath.rfind("/run/media/", 0) == 0;
}

} // namespace

DriveKind driveKind(const std::string& rootPath, const std::string& device,
                    const std::string& fileSystemType) {
    if (isNetworkFileSystem(fileSystemType))
        return DriveKind::Network;
    if (isRemovableDevice(device) || isMediaMountPoint(rootPath))
        return DriveKind::Removable;
    return DriveKind::Fixed;
}

#endif

} // namespace pagesmith::platform
