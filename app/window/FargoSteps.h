#pragma once
#include <functional>
#include <string>
#include <vector>

class Dialogs;
class WizardWindow;
class Ti92Link;

// Sends a list of files (full paths) to the calculator as one job and
// presses Next by itself when every file was sent, after running whenSent;
// true in that case.
using FileListSend = std::function<bool(const std::vector<std::string>& files, const std::function<void()>& whenSent)>;

// Where the preinstalled Fargo backups are looked for before the library
// folders: the program folder, then the shipped data folder (each ends
// with "/"). "content.92g" is kept in the program folder.
struct FargoFolders {
    std::string programFolder;
    std::string shippedFolder;
};

// The backup's name for a ROM version: "fargo2-" (new Fargo) or "fargo1-",
// the version part ("2.1" gives "2_1") and ".92b".
std::string FargoBackupName(bool newFargo, const std::string& romVersion);
// The version part of a ROM version: its first character, "_", and the text
// from its third character on.
std::string RomVersionPart(const std::string& romVersion);

// The Fargo installation task on the wizard: step 2 reads the ROM version,
// finds the matching backup and saves the calculator's content into
// "content.92g"; step 3 sends the backup; step 4 sends the content back and
// offers the standard pack.
void InstallFargoSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs, const FargoFolders& folders,
                       FileListSend send);
