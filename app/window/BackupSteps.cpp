#include "app/window/BackupSteps.h"

#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QRadioButton>

#include "app/window/ReceiveSteps.h"
#include "app/window/WizardWindow.h"
#include "files/CommentPrompt.h"
#include "files/SaveAs92g.h"
#include "files/SaveDialogSetup.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "transfers/BackupReceive.h"
#include "transfers/DirectoryListing.h"

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

// The date proposal, unless the user has typed a comment of their own.
void ProposeComment(QLineEdit& edit)
{
    if (!edit.isModified())
        edit.setText(QString::fromStdString(CommentProposal(QDateTime::currentDateTime())));
}

}  // namespace

void InstallBackupSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    // The backup's comment is asked with the choice of a backup.
    QObject::connect(form.backupRadio, &QRadioButton::toggled, &form, [&form](bool backup) {
        form.backupCommentEdit->setEnabled(backup);
        if (backup)
            ProposeComment(*form.backupCommentEdit);
    });
    form.SetStepAction(taskReceiveBackup, 1, [&form, &link] {
        ProposeComment(*form.backupCommentEdit);
        FetchDirectoryList(link, form, ListViewId::Calculator);
    });

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
            const FileComment comment = CommentFromUtf8(form.backupCommentEdit->text().toStdString());
            for (const std::string& note : CommentNotes(comment))
                form.StatusMemoAdd(" Note: " + note + ".");
            form.RecordStepResult(
                SaveAs92g(form, FormStore(form), form.settings.StoreFolders, *path, true, true, comment.bytes));
        } else {
            // The Finished page must not claim a backup that exists nowhere.
            form.StatusMemoAdd(" The memory-backup was not saved.");
            form.RecordStepResult(false);
        }
        form.ClickNextButton();
    });
}
