#include "app/window/BackupSteps.h"

#include <QComboBox>

#include "app/window/ReceiveSteps.h"
#include "app/window/WizardWindow.h"
#include "files/CommentPrompt.h"
#include "files/SaveAs92g.h"
#include "files/SaveDialogSetup.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "transfers/BackupReceive.h"

namespace {

// After a failed receive the store is empty: no file name is asked for.
bool HoldsBackup(const TempStore& store)
{
    try {
        for (const IndexRecord& r : store.ReadIndex())
            if (r.type == kTypeBackup)
                return true;
    } catch (const EFileError&) {
        // No store yet.
    }
    return false;
}

}  // namespace

void InstallBackupSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    form.SetStepAction(taskReceiveBackup, 2, [&form, &link] {
        form.VarListClear();
        form.VarListAdd("memory-backup");
        form.RecordStepResult(ReceiveBackup(link, form, FormStore(form), true));
    });

    form.SetStepAction(taskReceiveBackup, 3, [&form, &dialogs] {
        if (!HoldsBackup(FormStore(form))) {
            form.StatusMemoAdd(" There is no memory-backup to save.");
            form.RecordStepResult(false);
            form.ClickNextButton();
            return;
        }
        const auto path = dialogs.SaveFileName(PrepareBackupSaveDialog(form.folderBox->itemText(0).toStdString()));
        if (path) {
            const std::string comment = PromptComment(dialogs, *path);
            form.RecordStepResult(
                SaveAs92g(form, FormStore(form), form.settings.StoreFolders, *path, true, true, comment));
        } else {
            // The Finished page must not claim a backup that exists nowhere.
            form.StatusMemoAdd(" The memory-backup was not saved.");
            form.RecordStepResult(false);
        }
        form.ClickNextButton();
    });
}
