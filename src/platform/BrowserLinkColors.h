#pragma once

#include <optional>
#include <string>

namespace pagesmith::platform {

// The text the system's web browser keeps for a link colour ("Anchor Color",
// "Anchor Color Visited"), as it stands: on Windows the registry's value under
// Internet Explorer's settings, empty when missing; elsewhere there is no such
// store, and nothing comes back.
std::optional<std::string> browserLinkColor(const char* name);

} // namespace pagesmith::platform
