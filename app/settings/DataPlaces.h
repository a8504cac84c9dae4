#pragma once
#include <string>

#include "app/settings/SettingsStore.h"

// The user's own places for Linkwise's files, after the XDG base directory
// rules: the window and the command line agree on them through here. Folders
// are returned with a trailing "/" and made when missing (a folder that
// cannot be made shows up later, when a file in it is written).

// $XDG_DATA_HOME/linkwise/ (normally ~/.local/share/linkwise/).
std::string UserDataFolder();

// The Fargo library folder of a Fargo version (1 or 2) in the settings
// ("Fargo1 Librarydir"), or the default fargo1/ or fargo2/ in dataFolder
// (normally UserDataFolder()) when none is set or the stored one is a
// program folder (see IsProgramFolder): older versions kept the libraries
// beside the executable.
std::string StoredFargoLibraryFolder(SettingsStore& settings, int version, const std::string& dataFolder);

// Whether a folder is where the programs are installed: the running
// executable's folder, or one holding the window program "linkwise". Such a
// folder is never the user's, whatever the settings say.
bool IsProgramFolder(const std::string& folder);
