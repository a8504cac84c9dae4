#include "app/window/FileSendSeam.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "app/window/TForm1.h"
#include "link/Exceptions.h"
#include "transfers/BackupSend.h"
#include "transfers/VariableSend.h"

namespace {

bool IsBackupFile(const std::string& path)
{
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".92b";
}

void SendList(TForm1& form, TTI92& link, const std::vector<std::string>& files)
{
    form.TransferMode(true);
    form.VarListClear();
    form.SetLabel(LabelId::Label18, "File(s) to send");
    for (const std::string& f : files)
        form.VarListAdd(std::filesystem::path(f).filename().string());
    form.VarListSelect(-1);
    size_t sent = 0;
    std::string summary;
    std::string name;
    try {
        for (const std::string& f : files) {
            name = std::filesystem::path(f).filename().string();
            form.VarListSelect(static_cast<int>(sent));
            form.SetLabel(LabelId::trLabel, "Transferring " + name);
            form.ProcessMessages();
            if (IsBackupFile(f) ? !SendBackup(link, form, f) : !Send92g(link, form, f))
                throw EAbort(IsBackupFile(f) ? "bTransfer aborted!" : "pTransfer aborted!");
            ++sent;
        }
        form.SetLabel(LabelId::trLabel, std::to_string(sent) + " files were sent successfully!");
        form.ClickNextButton();
        summary = "Totally " + std::to_string(sent) + " of " + std::to_string(files.size()) +
                  " selected file(s) were sent.";
    } catch (const std::exception& e) {
        form.ErrorDialog(ErrorDialogText("sending the file(s)", e));
        const std::string cls = ErrorClassName(e);
        summary = sent == 0 ? "An error (" + cls + ") occured while sending " + name + ". "
                            : std::to_string(sent) + " of " + std::to_string(files.size()) +
                                  " files were sent when an error (" + cls +
                                  ") occured. The error happend while sending " + name + ". ";
        form.RecordStepResult(false);
    }
    form.StatusMemoAdd(summary);
    form.TransferMode(false);
}

}  // namespace

FileListSend FormFileListSend(TForm1& form, TTI92& link)
{
    return [&form, &link](const std::vector<std::string>& files) { SendList(form, link, files); };
}
