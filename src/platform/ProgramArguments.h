#pragma once

#include <string>
#include <vector>

namespace pagesmith::platform {

// The program's arguments as UTF-8 texts, its own path first. On Windows
// they come from the wide command line, since argv there holds the ANSI code
// page and loses every character outside it ("請求書 第1号.tif").
std::vector<std::string> programArguments(int argc, char** argv);

} // namespace pagesmith::platform
