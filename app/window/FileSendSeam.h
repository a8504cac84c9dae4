#pragma once
#include <functional>

#include "app/window/FargoSteps.h"
#include "transfers/FileListSend.h"

class Dialogs;
class WizardWindow;
class Ti92Link;

// Runs `send` with a file-list send job made from the window's settings: the
// library folders, autocollect, the store folder and its "~tmp.92t", the
// question before replacing variables; a backup is sent only after a Yes.
void RunFormSendJob(WizardWindow& form, Ti92Link& link, Dialogs& dialogs,
                    const std::function<void(const FileListSendJob&)>& send);

// The list send the Fargo task uses: the window's file-list send for a list
// of full paths, without the backup question; true when every file was sent.
FileListSend FormFileListSend(WizardWindow& form, Ti92Link& link, Dialogs& dialogs);
