#include "app/window/ReceiveSteps.h"

#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <memory>

#include "app/window/CalculatorListMenu.h"
#include "app/window/WizardWindow.h"
#include "files/CommentPrompt.h"
#include "files/FileFormat.h"
#include "files/SaveAs92g.h"
#include "files/SaveDialogSetup.h"
#include "files/TempStore.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

TempStore FormStore(const WizardWindow& form)
{
    return TempStore(std::filesystem::path(form.settings.DataFile).parent_path());
}

namespace {
// Which of the variables received last are saved in some file.
struct ReceivedState {
    std::vector<bool> saved;  // one per record of the store
    std::vector<size_t> Unsaved() const
    {
        std::vector<size_t> rows;
        for (size_t i = 0; i < saved.size(); ++i)
            if (!saved[i])
                rows.push_back(i);
        return rows;
    }
    void Mark(const std::vector<size_t>& rows)
    {
        if (rows.empty())
            saved.assign(saved.size(), true);
        for (size_t row : rows)
            if (row < saved.size())
                saved[row] = true;
    }
};

size_t StoredRecords(const TempStore& store)
{
    try {
        return store.ReadIndex().size();
    } catch (const std::exception&) {
        // No index: nothing was stored.
        return 0;
    }
}
}  // namespace

void InstallReceiveSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    auto received = std::make_shared<ReceivedState>();
    auto dialogState = std::make_shared<FileDialogRequest>();
    // True when the wizard may leave the received variables behind: all are
    // saved, the user saved them now, or chose to discard them.
    // A save moves the wizard on by itself (Autoclick); no question meanwhile.
    auto saving = std::make_shared<bool>(false);
    // True when the wizard may leave the received variables behind: all are
    // saved, the user saved them now, or chose to discard them.
    form.confirmLeaveReceived = [&form, &dialogs, received, dialogState, saving](bool closing) {
        const std::vector<size_t> unsaved = received->Unsaved();
        if (*saving || form.currentTask != taskReceiveVariables || unsaved.empty())
            return true;
        const std::string text = unsaved.size() == 1
                                     ? "1 received variable is not saved."
                                     : std::to_string(unsaved.size()) + " received variables are not saved.";
        switch (dialogs.MessageBox(text + "\rSave them before going on?", "Linkwise", MsgIcon::Question,
                                   MsgButtons::SaveDiscardCancel)) {
        case MsgResult::Save: {
            const int page = form.PageShown();
            *saving = true;
            const bool saved =
                SaveReceivedVariables(dialogs, form, FormStore(form), form.settings.StoreFolders, false, *dialogState,
                                      unsaved.size() == received->saved.size() ? std::vector<size_t>{} : unsaved,
                                      form.saveCommentEdit->text().toStdString());
            *saving = false;
            if (saved)
                received->Mark(unsaved);
            // Moved on already: the click that asked must not move again.
            return saved && (closing || form.PageShown() == page);
        }
        case MsgResult::Discard:
            received->saved.clear();
            return true;
        default:
            return false;
        }
    };

    auto list = [&form, &link] { FetchDirectoryList(link, form, ListViewId::Calculator); };
    form.SetStepAction(taskReceiveVariables, 1, list);
    form.SetStepAction(taskReceiveBackup, 1, list);
    form.SetBackwardRefresh(pageReceive, list);
    QObject::connect(form.updateListButton, &QPushButton::clicked, &form, list);
    InstallCalculatorListMenu(form, link, dialogs);

    form.SetStepAction(taskReceiveVariables, 2, [&form, &link, &dialogs, received] {
        received->saved.clear();
        form.VarListClear();
        std::vector<std::string> names;
        for (const ListItem& row : form.ListViewItems(ListViewId::Calculator)) {
            if (row.selected) {
                form.VarListAdd(row.caption);
                names.push_back(row.caption);
            }
        }
        // A file that could not be saved is refused before the first request.
        const size_t entries = EntriesForNames(names, form.settings.StoreFolders);
        if (entries > ti92::kMaxEntries) {
            ShowMessage(dialogs,
                        "These " + std::to_string(names.size()) + " variables make " + std::to_string(entries) +
                            " entries, and a TI-92 file holds at most " + std::to_string(ti92::kMaxEntries) +
                            ". Nothing was received.\rSelect fewer variables and receive the rest in another run.",
                        MsgIcon::Error);
            form.RecordStepResult(false);
            return;
        }
        // Each receive proposes a comment dated anew.
        form.saveCommentEdit->setText(QString::fromStdString(CommentProposal(QDateTime::currentDateTime())));
        const bool ok = ReceiveAll(link, form, FormStore(form), true);
        received->saved.assign(StoredRecords(FormStore(form)), false);
        form.RecordStepResult(ok);
    });

    // The dialog remembers the name chosen last.
    QObject::connect(form.saveToFileButton, &QPushButton::clicked, &form,
                     [&form, &dialogs, received, dialogState, saving] {
                         // The rows of the list are the store's records, in order.
                         std::vector<size_t> selected;
                         const std::vector<ListItem> rows = form.ListViewItems(ListViewId::Received);
                         for (size_t i = 0; i < rows.size(); ++i)
                             if (rows[i].selected)
                                 selected.push_back(i);
                         *saving = true;
                         const bool saved =
                             SaveReceivedVariables(dialogs, form, FormStore(form), form.settings.StoreFolders,
                                                   form.backupRadio->isChecked(), *dialogState, selected,
                                                   form.saveCommentEdit->text().toStdString());
                         *saving = false;
                         if (saved)
                             received->Mark(selected);
                     });
}
