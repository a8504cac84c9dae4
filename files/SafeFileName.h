#pragma once
#include <string>

// A file name made from a name that came from the calculator (a variable,
// a library, a ROM version): it names a file inside the chosen folder and
// nothing else. '/' and control bytes become '_', leading dots are dropped
// (no "..", no hidden file), and an empty result becomes "_". The folder
// part of a full name is the caller's to drop.
std::string SafeFileName(const std::string& name);
