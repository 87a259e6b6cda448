#pragma once

#include "platform/NativeFile.h"

#include <cstddef>
#include <string>

namespace pagesmith {

// "<name>.partial-" followed by a tag of this many letters and digits.
inline constexpr const char* kPartialMark = ".partial-";
inline constexpr std::size_t kPartialTagLength = 6;

// Creates a new file of a fresh name beside `finalPath`, never one that
// exists: "<name>.partial-XXXXXX" (or "pagesmith.partial-XXXXXX" beside a
// name too long to grow). An output is written there and renamed to its
// final name once whole. Returns the file, open for reading and writing,
// and its path in `temporaryPath`; kNoFile when it cannot be created.
platform::FileNumber createPartialFile(const std::string& finalPath, std::string& temporaryPath);

// Whether a file name is one createPartialFile makes.
bool isPartialFileName(const std::string& name);

} // namespace pagesmith
