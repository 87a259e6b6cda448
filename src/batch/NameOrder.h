#pragma once

#include <string>

namespace pagesmith {

// The order in which a folder's entries are taken, the same on every file
// system and platform: names compared by their upper-case form, UTF-16 code
// unit by code unit, ties broken by the names themselves. This is the order
// Windows lists a folder in, so "a b.tif" < "alpha.tif" < "page1.tif" <
// "page10.tif" < "Page2.tif" < "_x.tif" < "Ärger.tif". Bytes that are not
// UTF-8 sort after every character, each by its value.
bool comesBeforeByName(const std::string& a, const std::string& b);

} // namespace pagesmith
