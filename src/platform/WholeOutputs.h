#pragma once

#include "platform/NativeFile.h"

#include <string>

namespace pagesmith::platform {

// The calls behind outputs that appear whole or not at all: written under a
// name of their own, then put in place of the final name in one step.

enum class NewFile { Created, NameTaken, Failed };

// Creates `path` to read and write, only if no file of that name exists;
// `file` gets it when Created.
NewFile createNewFile(const std::string& path, FileNumber& file);

// Gives the file `from` the name `to` in one step, replacing a file of that
// name; the file is written through to the disk first on Windows.
bool replaceFile(const std::string& from, const std::string& to);

bool removeFile(const std::string& path);

} // namespace pagesmith::platform
