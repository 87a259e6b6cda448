#pragma once

#include <string>

namespace pagesmith::platform {

enum class DriveKind { Fixed, Removable, Network, Other };

// What kind of drive the volume mounted at `rootPath` is ("C:\", "/media/x"),
// as the system says: Windows's drive-type query; on Linux the kernel's
// removable flag of the disk behind `device` ("/dev/sdb1") and the file
// system type for network mounts.
DriveKind driveKind(const std::string& rootPath, const std::string& device,
                    const std::string& fileSystemType);

} // namespace pagesmith::platform
