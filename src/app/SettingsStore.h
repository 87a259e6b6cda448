#pragma once

#include <memory>
#include <string>

class QSettings;

namespace pagesmith {

// Name of the stored run-log path.
constexpr const char* kLogPathSetting = "pgslog";

// Reads a stored text value; empty when absent or unreadable.
std::string readSetting(const std::string& name);

// Stores a text value, creating the store when missing.
void writeSetting(const std::string& name, const std::string& value);

// The same store opened at another group, for the window's own values (its
// places, sizes and choices), which are more than texts.
std::unique_ptr<QSettings> openSettingsGroup(const std::string& group);

} // namespace pagesmith
