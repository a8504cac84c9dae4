#include "app/window/FileSendSeam.h"

#include <filesystem>

#include "app/window/TForm1.h"
#include "files/FileBrowser.h"
#include "files/TempStore.h"

void RunFormSendJob(TForm1& form, Ti92Link& link, Dialogs& dialogs,
                    const std::function<void(const FileListSendJob&)>& send)
{
    const TempStore store(std::filesystem::path(form.Settings.DataFile).parent_path());
    const FargoLibrarySettings libraries{WithSlash(form.Settings.Fargo1LibDir),
                                         WithSlash(form.Settings.Fargo2LibDir), form.Settings.AutoCollect};
    const FileListSendJob job{link, form, dialogs, store, (store.Folder() / "~tmp.92t").string(),
                              form.Settings.StoreFolders, libraries, LibraryChoice::Ask, {},
                              form.Settings.AskBeforeReplace ? ReplacePolicy::Ask : ReplacePolicy::Replace, true, {}};
    send(job);
}

FileListSend FormFileListSend(TForm1& form, Ti92Link& link, Dialogs& dialogs)
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
