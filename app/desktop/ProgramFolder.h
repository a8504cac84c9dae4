#pragma once
#include <string>

// The folder the program writes its own files to, with a trailing "/": the
// executable's folder when writable, else ~/.local/share/linkwise/.
std::string ProgramFolder();

// A data file shipped with the program ("hints.dat"): beside the executable,
// in the program folder, or in the install prefix's share folder. Returns the
// first path that exists, or the one beside the executable.
std::string ShippedDataFile(const std::string& name);
