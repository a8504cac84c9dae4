#pragma once
#include <string>

// Where the window finds what ships with it and keeps its temporary files.
// The user's own files have their places in app/settings/DataPlaces.h.
// Folders are returned with a trailing "/".

// The shipped data folder of an installed program (<prefix>/share/linkwise/
// beside <prefix>/bin).
std::string ShippedDataFolder();

// A data file shipped with the program ("hints.dat"): beside the executable
// (a build tree), in the shipped data folder, or the user's own copy in the
// user's data folder. Returns the first path that exists, or the one in the
// shipped data folder.
std::string ShippedDataFile(const std::string& name);

// The folder of the HTML help pages: <prefix>/share/doc/linkwise/html/
// beside <prefix>/bin (the build tree has the same layout).
std::string HelpFolder();

// The folder for the running program's temporary files:
// $XDG_RUNTIME_DIR/linkwise/, or linkwise/ in a private folder under TMPDIR
// when there is no runtime folder. Made when missing.
std::string RuntimeFolder();
