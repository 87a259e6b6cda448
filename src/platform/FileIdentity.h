#pragma once

#include "platform/NativeFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace pagesmith::platform {

// What makes a file itself, whatever name it is reached by: the device and
// inode on Linux, the volume serial number and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity&) const = default;
};

// The identity of an open regular file; none for anything else.
std::optional<FileIdentity> identityOf(FileNumber file);

// The identity of the file or folder a path names (links followed); none
// when it does not exist or cannot be looked at.
std::optional<FileIdentity> identityOfPath(const std::string& path);

// Whether two paths name one existing file or folder.
bool sameFile(const std::string& a, const std::string& b);

} // namespace pagesmith::platform
