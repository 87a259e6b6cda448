#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace pagesmith::test {

// Expected reports and command lines in test tables name their folders by
// placeholders such as {in}, and write the path that follows a folder with
// '/': "{in}/sub/a.tif".
using FolderPlaceholders = std::vector<std::pair<std::string, std::filesystem::path>>;

// The text with each placeholder replaced by its folder, and the path that
// follows it (up to a blank, a line end or a comma) in the platform's form:
// on Windows with '\' for '/'. With `readFromOption`, as the program writes a
// path it read from an option (asReadFromOption).
std::string withFolders(const std::string& text, const FolderPlaceholders& folders,
                        bool readFromOption = false);

// A path given in an option as the program then writes it in its reports:
// on Windows, whose file names ignore case, options are read lower-cased.
std::string asReadFromOption(const std::string& path);

} // namespace pagesmith::test
