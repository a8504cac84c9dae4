#pragma once
#include <string>
#include <vector>

#include "link/Dialogs.h"

class TempStore;
class TransferView;

// The save dialog of the "&Save to file" button: for a single stored
// variable the extension of its type comes first and its name (without the
// folder) is proposed; otherwise group files and the previous name.
FileDialogRequest PrepareSaveDialog(const TempStore& store, const FileDialogRequest& previous);

// The save dialog of the backup-save step.
FileDialogRequest PrepareBackupSaveDialog(const std::string& initialDir);

// "&Save to file": dialog, comment prompt, save, then the wizard moves on
// whatever the result. `dialogState` keeps the name between calls. False
// when the dialog was cancelled or the save failed. `selected` names the
// store's records to save, in store order; empty saves them all. A single
// one is offered as a single-variable file.
bool SaveReceivedVariables(Dialogs& dialogs, TransferView& view, const TempStore& store, bool storeFolders,
                           bool backupChecked, FileDialogRequest& dialogState,
                           const std::vector<size_t>& selected = {});
