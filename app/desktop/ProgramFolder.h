#pragma once
#include <string>

// The folder the program writes its own files to, with a trailing "/": the
// executable's folder when writable, else the user's data folder.
std::string ProgramFolder();

// The user's data folder for Linkwise ($XDG_DATA_HOME/linkwise/, normally
// ~/.local/share/linkwise/), with a trailing "/"; created when missing.
std::string UserDataFolder();

// The shipped data folder of an installed program (<prefix>/share/linkwise/
// beside <prefix>/bin), with a trailing "/".
std::string ShippedDataFolder();

// A data file shipped with the program ("hints.dat"): beside the executable,
// in the program folder, or in the shipped data folder. Returns the first
// path that exists, or the one beside the executable.
std::string ShippedDataFile(const std::string& name);
