// What entering a step does. Each (task, step) pair may have one action and
// each page one refresh after Previous; pairs without one do nothing.
#include "app/window/WizardWindow.h"

#include "app/desktop/ProgramFolder.h"
#include "app/window/BackupSteps.h"
#include "app/window/ConvertSteps.h"
#include "app/window/FargoSteps.h"
#include "app/window/FileBrowserPanel.h"
#include "app/window/FileSendSeam.h"
#include "app/window/ReceiveSteps.h"
#include "app/window/ScreenshotSteps.h"

void WizardWindow::InstallStepActions()
{
    // The transfers, file routines and the Fargo task register here as they
    // come; until then the wizard only moves through its pages.
    InstallReceiveSteps(*this, fEnv.link, fEnv.dialogs);
    InstallBackupSteps(*this, fEnv.link, fEnv.dialogs);
    InstallScreenshotSteps(*this, fEnv.link, fEnv.dialogs);
    InstallConvertSteps(*this, fEnv.dialogs);
    InstallFargoSteps(*this, fEnv.link, fEnv.dialogs, {fEnv.dataFolder, ShippedDataFolder()},
                      FormFileListSend(*this, fEnv.link, fEnv.dialogs));
    fileBrowser = new FileBrowserPanel(*this, fEnv.link, fEnv.dialogs);
}

void WizardWindow::SetStepAction(TaskKind task, int step, Action action)
{
    fStepActions[{task, step}] = std::move(action);
}

void WizardWindow::SetBackwardRefresh(int page, Action action)
{
    fBackwardRefresh[page] = std::move(action);
}

void WizardWindow::RunStepAction(TaskKind task, int step)
{
    auto it = fStepActions.find({task, step});
    if (it == fStepActions.end() || !it->second)
        return;
    Action action = it->second;  // a copy: the action may register others
    try {
        action();
    } catch (...) {
        // The error box is the application's; the task has failed all the same.
        NoteLinkFailure(std::current_exception());
        RecordStepResult(false);
        throw;
    }
}

void WizardWindow::RunBackwardRefresh(int page)
{
    auto it = fBackwardRefresh.find(page);
    if (it == fBackwardRefresh.end() || !it->second)
        return;
    Action action = it->second;
    action();
}
