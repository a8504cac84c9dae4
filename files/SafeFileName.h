#pragma once
#include <filesystem>
#include <string>

// A file name made from a name that came from the calculator (a variable,
// a library, a ROM version): it names a file inside the chosen folder and
// nothing else. '/' and control bytes become '_', leading dots are dropped
// (no "..", no hidden file), and an empty result becomes "_". The folder
// part of a full name is the caller's to drop.
std::string SafeFileName(const std::string& name);

// Where a variable gets a file of its own inside a chosen folder, as
// `get --all` and `ungroup` write it: FOLDER/NAME.EXT in UTF-8, the folder
// "main" when the variable has none, both parts made safe, the extension by
// the variable's type.
std::filesystem::path OwnVariableFile(const std::string& folder, const std::string& name, int type);
