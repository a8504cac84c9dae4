#include "app/window/ReceiveSteps.h"

#include <QPushButton>
#include <QRadioButton>
#include <filesystem>
#include <memory>

#include "app/window/CalculatorListMenu.h"
#include "app/window/WizardWindow.h"
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

void InstallReceiveSteps(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    auto list = [&form, &link] { FetchDirectoryList(link, form, ListViewId::Calculator); };
    form.SetStepAction(taskReceiveVariables, 1, list);
    form.SetStepAction(taskReceiveBackup, 1, list);
    form.SetBackwardRefresh(pageReceive, list);
    QObject::connect(form.updateListButton, &QPushButton::clicked, &form, list);
    InstallCalculatorListMenu(form, link, dialogs);

    form.SetStepAction(taskReceiveVariables, 2, [&form, &link, &dialogs] {
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
        form.RecordStepResult(ReceiveAll(link, form, FormStore(form), true));
    });

    // The dialog remembers the name chosen last.
    auto dialogState = std::make_shared<FileDialogRequest>();
    QObject::connect(form.saveToFileButton, &QPushButton::clicked, &form, [&form, &dialogs, dialogState] {
        // The rows of the list are the store's records, in order.
        std::vector<size_t> selected;
        const std::vector<ListItem> rows = form.ListViewItems(ListViewId::Received);
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].selected)
                selected.push_back(i);
        SaveReceivedVariables(dialogs, form, FormStore(form), form.settings.StoreFolders, form.backupRadio->isChecked(),
                              *dialogState, selected);
    });
}
