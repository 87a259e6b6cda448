#pragma once

#include <string>

namespace pagesmith {

// Name of the stored run-log path.
constexpr const char* kLogPathSetting = "pgslog";

// Reads a stored text value; empty when absent or unreadable.
std::string readSetting(const std::string& name);

// Stores a text value, creating the store when missing.
void writeSetting(const std::string& name, const std::string& value);

} // namespace pagesmith
