#pragma once
#include <optional>
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

// "&Save to file": dialog, comment, save, then the wizard moves on whatever
// the result. The comment is `pageComment` (as typed, UTF-8) when the page
// holds one, else the comment prompt asks. `dialogState` keeps the name
// between calls. False when a dialog was cancelled (nothing written) or the
// save failed. `selected` names the store's records to save, in store order;
// empty saves them all. A single one is offered as a single-variable file.
bool SaveReceivedVariables(Dialogs& dialogs, TransferView& view, const TempStore& store, bool storeFolders,
                           bool backupChecked, FileDialogRequest& dialogState, const std::vector<size_t>& selected = {},
                           const std::optional<std::string>& pageComment = std::nullopt);
