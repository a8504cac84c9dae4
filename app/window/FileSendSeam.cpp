#include "app/window/FileSendSeam.h"

#include <filesystem>

#include "app/window/WizardWindow.h"
#include "files/FileBrowser.h"
#include "files/TempStore.h"

void RunFormSendJob(WizardWindow& form, Ti92Link& link, Dialogs& dialogs,
                    const std::function<void(const FileListSendJob&)>& send)
{
    const TempStore store(std::filesystem::path(form.settings.DataFile).parent_path());
    const FargoLibrarySettings libraries{WithSlash(form.settings.Fargo1LibDir), WithSlash(form.settings.Fargo2LibDir),
                                         form.settings.AutoCollect};
    const FileListSendJob job{link,
                              form,
                              dialogs,
                              store,
                              (store.Folder() / "~tmp.92t").string(),
                              form.settings.StoreFolders,
                              libraries,
                              LibraryChoice::Ask,
                              {},
                              form.settings.AskBeforeReplace ? ReplacePolicy::Ask : ReplacePolicy::Replace,
                              true,
                              {}};
    send(job);
}

FileListSend FormFileListSend(WizardWindow& form, Ti92Link& link, Dialogs& dialogs)
{
    return [&form, &link, &dialogs](const std::vector<std::string>& files, const std::function<void()>& whenSent) {
        bool complete = false;
        RunFormSendJob(form, link, dialogs, [&](const FileListSendJob& job) {
            // The task sends its backup only after saving the content: no question.
            FileListSendJob taskJob = job;
            taskJob.confirmBackup = false;
            taskJob.whenSent = whenSent;
            complete = SendFileList(taskJob, files).Complete();
        });
        return complete;
    };
}
