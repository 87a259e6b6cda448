#pragma once

#include <string>

namespace pagesmith::platform {

// Adds `bytes` at the end of the file, creating it when missing, in one
// write: processes appending to one file at once never interleave inside
// one call's bytes. The bytes go as they are (no CR added on Windows).
bool appendToFile(const std::string& path, const std::string& bytes);

} // namespace pagesmith::platform
