#include "files/SaveDialogSetup.h"

#include "files/CommentPrompt.h"
#include "files/FileExtensions.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/TypeNames.h"
#include "link/TransferView.h"

FileDialogRequest PrepareSaveDialog(const TempStore& store, const FileDialogRequest& previous)
{
    FileDialogRequest request = previous;
    request.title = "Save variable(s) as..";
    request.defaultExtension = "92g";
    request.filter = "TI92 groupfiles (*.92g)";
    std::vector<IndexRecord> records;
    try {
        records = store.ReadIndex();
    } catch (const EFileError&) {
        // No store yet: the save itself reports it.
    }
    if (records.size() != 1)
        return request;
    const IndexRecord& r = records[0];
    std::string extension = ExtensionForType(r.type);
    if (extension != "92g") {
        request.defaultExtension = extension;
        request.filter = "TI92 " + TypeName(r.type) + " files (*." + extension + ");;" + request.filter;
    }
    request.fileName = EntryName(r.name) + "." + request.defaultExtension;
    return request;
}

FileDialogRequest PrepareBackupSaveDialog(const std::string& initialDir)
{
    FileDialogRequest request;
    request.title = "Save variable(s) as..";
    request.initialDir = initialDir;
    request.defaultExtension = "92b";
    request.filter = "TI92-Backupfiles (*.92b)";
    return request;
}

bool SaveReceivedVariables(Dialogs& dialogs, TransferView& view, const TempStore& store,
                           bool storeFolders, bool backupChecked, FileDialogRequest& dialogState)
{
    dialogState = PrepareSaveDialog(store, dialogState);
    auto path = dialogs.SaveFileName(dialogState);
    if (!path)
        return false;
    dialogState.fileName = *path;
    std::string comment = PromptComment(dialogs, *path);
    bool saved = SaveAs92g(view, store, storeFolders, *path, backupChecked, true, comment);
    view.ClickNextButton();
    return saved;
}
