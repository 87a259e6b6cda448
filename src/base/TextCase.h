#pragma once

#include <algorithm>
#include <cctype>
#include <string>

namespace pagesmith {

// ASCII lower case, for names matched in any case (options, compression names).
inline std::string lowerCased(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

} // namespace pagesmith
