#pragma once
#include <string>
#include <vector>

#include "app/startup/ParamCommands.h"

class Dialogs;
class TransferView;

// Folders the start-up reads: where the program keeps its files (ends with
// "/"), the file browser's current folder, and the system's temporary folder.
struct StartupFolders {
    std::string programFolder;
    std::string browserFolder;
    std::string temporaryRoot;
};

// What the window does with its command line while it is created: the
// parameter walk, the box for SEND or CONVERT without a file, a preinstalled
// Fargo backup taken over, and the offer to save a file out of a temporary
// folder. Errors of the last two are ignored: the start goes on.
void ReadCommandLine(ParamCommandsType& commands, const std::vector<std::string>& params, Dialogs& dialogs,
                     TransferView& view, const StartupFolders& folders);

// A preinstalled Fargo backup or standard pack ("fargoN-...92x") that is
// newer than the copy in the program folder is copied there instead of
// being sent. True when it was copied (nothing is sent then).
bool TakeOverFargoBackup(ParamCommandsType& commands, Dialogs& dialogs, TransferView& view,
                         const std::string& programFolder);

// A file to send from a temporary folder (a path holding "temp", or under
// the system's temporary folder): offers to keep a copy elsewhere first.
void OfferSaveFromTemporaryFolder(const ParamCommandsType& commands, Dialogs& dialogs, TransferView& view,
                                  const StartupFolders& folders);
