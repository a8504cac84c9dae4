#include "transfers/FileListSend.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "files/ClassifyFile.h"
#include "files/FileBrowser.h"
#include "files/SafeFileName.h"
#include "files/TextConversion.h"
#include "files/Ti92Charset.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"
#include "link/TTI92.h"
#include "link/TransferView.h"
#include "transfers/BackupSend.h"
#include "transfers/VariableSend.h"

namespace fs = std::filesystem;

namespace {

constexpr int kBackupKind = kinds::kSingle + 0x1D;

std::string FileName(const std::string& path)
{
    return fs::path(path).filename().string();
}

bool IsProgram(int kind)
{
    return kind == kinds::kFargo1Program || kind == kinds::kFargo2Program;
}

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// folder + name + ".92p"; a file whose name differs only in case counts too,
// as libraries copied from other systems often have upper-case names.
std::string FindLibrary(const std::string& folder, const std::string& libraryName)
{
    const std::string name = SafeFileName(libraryName);
    const std::string wanted = folder + name + ".92p";
    std::error_code ec;
    if (fs::is_regular_file(wanted, ec))
        return wanted;
    const std::string lower = Lower(name + ".92p");
    for (fs::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end; it.increment(ec))
        if (Lower(it->path().filename().string()) == lower && it->is_regular_file(ec))
            return it->path().string();
    return {};
}

class Job {
public:
    Job(const FileListSendJob& job, const std::vector<std::string>& paths) : fJob(job), fPaths(paths) {}
    FileListSendResult Run();

private:
    void SendOne(size_t index);
    void Collect(const VariableFileType& info);
    bool AskForLibraries(const VariableFileType& info);
    void SendLibraries(const VariableFileType& info);
    void AbortUnless(bool sent, const char* message);

    const FileListSendJob& fJob;
    const std::vector<std::string>& fPaths;
    VariableFileType fInfo;     // the file being processed
    LibraryChoice fChoice = LibraryChoice::Ask;
    std::set<std::string> fSentLibraries;
    FileListSendResult fResult;
};

FileListSendResult Job::Run()
{
    TransferView& view = fJob.view;
    view.TransferMode(true);
    fChoice = fJob.choice;
    fResult.files = static_cast<int>(fPaths.size());
    view.VarListClear();
    view.SetLabel(LabelId::Label18, "File(s) to send");
    if (fPaths.empty()) {
        view.TransferMode(false);
        return fResult;
    }
    try {
        int64_t total = 0;
        for (const std::string& path : fPaths) {
            // The list shows calculator text; a file name is UTF-8.
            view.VarListAdd(ti92text::FromUtf8(FileName(path)).bytes);
            std::error_code ec;
            const auto size = fs::file_size(path, ec);
            total += ec ? 0 : static_cast<int64_t>(size);
        }
        view.VarListSelect(-1);
        // A text file that can give no variable name stops the job before
        // the first byte goes out.
        for (const std::string& path : fPaths) {
            fInfo = VariableFileType{};
            fInfo.path = path;
            ClassifyFile(fInfo);
            if (fInfo.kind == kinds::kText)
                TextStoredName(path, fJob.textNaming);
        }
        view.SetBarMax(ProgressBarId::totBar, static_cast<int>(std::min<int64_t>(total, INT32_MAX)));
        view.SetBarPosition(ProgressBarId::totBar, 0);
        for (size_t i = 0; i < fPaths.size(); ++i)
            SendOne(i);

        view.SetLabel(LabelId::trLabel, std::to_string(fResult.filesSent) + " files were sent successfully!");
        if (view.VarListCount() == fResult.filesSent)
            view.ClickNextButton();
        const std::string counts = std::to_string(fResult.filesSent) + " of " + std::to_string(fResult.files);
        fResult.summary = fResult.librariesSent > 0
                              ? "Totally " + counts + " selected file(s) + " +
                                    std::to_string(fResult.librariesSent) + " libraries were sent."
                              : "Totally " + counts + " selected file(s) were sent.";
    } catch (const std::exception& e) {
        fResult.failed = true;
        fResult.errorClass = ErrorClassName(e);
        // EAbort follows a routine that has shown its own error already.
        if (!dynamic_cast<const EAbort*>(&e))
            view.ErrorDialog(ErrorDialogText("sending the file(s)", e));
        const std::string name = FileName(fInfo.path);
        const std::string errorClass = ErrorClassName(e);
        fResult.summary = fResult.filesSent == 0
                              ? "An error (" + errorClass + ") occured while sending " + name + ". "
                              : std::to_string(fResult.filesSent) + " of " + std::to_string(fResult.files) +
                                    " files were sent when an error (" + errorClass +
                                    ") occured. The error happend while sending " + name + ". ";
    }
    view.StatusMemoAdd(fResult.summary);
    view.TransferMode(false);
    return fResult;
}

void Job::SendOne(size_t index)
{
    TransferView& view = fJob.view;
    view.VarListSelect(static_cast<int>(index));
    fInfo = VariableFileType{};
    fInfo.path = fPaths[index];
    ClassifyFile(fInfo);

    if (fInfo.kind == kinds::kText) {
        // A failed conversion must not send whatever an earlier job left there.
        std::error_code ec;
        fs::remove(fJob.tempTextFile, ec);
        const std::string source = fInfo.path;
        if (!Txtto92g(view, fJob.dialogs, fJob.store, fJob.storeFolders, source, fJob.tempTextFile, false,
                      "Temporary converted textfile", fJob.textNaming))
            throw EFileError("The text file " + source + " could not be converted.");
        fInfo = VariableFileType{};
        fInfo.path = fJob.tempTextFile;
        ClassifyFile(fInfo);
    }
    if (fInfo.kind == kinds::kFargo1Library || fInfo.kind == kinds::kFargo2Library)
        Collect(fInfo);

    view.SetLabel(LabelId::trLabel, "Transferring " + FileName(fInfo.path) + " ~ " +
                                        (fInfo.description.empty() ? ShownComment(fInfo) : fInfo.description + "*"));
    view.ProcessMessages();

    const bool sendLibraries = IsProgram(fInfo.kind) && AskForLibraries(fInfo);

    const int position = view.BarPosition(ProgressBarId::totBar);
    if (fInfo.kind == kBackupKind)
        AbortUnless(SendBackup(fJob.link, view, fInfo.path), "bTransfer aborted!");
    else if (fInfo.kind >= kinds::kFargo2Library)
        AbortUnless(Send92g(fJob.link, view, fInfo.path), "pTransfer aborted!");
    view.SetBarPosition(ProgressBarId::totBar,
                        static_cast<int>(std::min<int64_t>(int64_t(position) + fInfo.size, INT32_MAX)));
    ++fResult.filesSent;

    if (sendLibraries && fInfo.LibraryCount() > 0)
        SendLibraries(fInfo);
}

void Job::AbortUnless(bool sent, const char* message)
{
    if (!sent)
        throw EAbort(message);
}

void Job::Collect(const VariableFileType& info)
{
    if (!fJob.libraries.autoCollect)
        return;
    const bool v1 = info.kind == kinds::kFargo1Library;
    const std::string name = FileName(info.path);
    const fs::path target = (v1 ? fJob.libraries.fargo1Dir : fJob.libraries.fargo2Dir) + name;
    std::error_code ec;
    if (fs::exists(target, ec)) {
        if (fs::equivalent(target, info.path, ec))
            return;
        if (fs::last_write_time(target, ec) >= fs::last_write_time(info.path, ec))
            return;
    }
    fs::copy_file(info.path, target, fs::copy_options::overwrite_existing, ec);
    if (ec) {
        fJob.view.StatusMemoAdd(name + " could not be copied to the Fargo library-directory: " + ec.message() + ".");
        return;
    }
    fJob.view.StatusMemoAdd(name + (v1 ? " was copied to Fargo library-directory." : " was copied to Fargo2 library-directory."));
}

bool Job::AskForLibraries(const VariableFileType& info)
{
    if (fChoice == LibraryChoice::AlwaysYes)
        return true;
    if (fChoice == LibraryChoice::AlwaysNo)
        return false;
    const int r = fJob.dialogs.FargoLibraryQuestion("Send " + std::to_string(info.LibraryCount()) +
                                                   " Fargo libraries?");
    if (r > 20)
        fChoice = LibraryChoice::AlwaysNo;
    else if (r > 10)
        fChoice = LibraryChoice::AlwaysYes;
    return r % 10 == 1;
}

void Job::SendLibraries(const VariableFileType& info)
{
    const std::string& folder =
        info.kind == kinds::kFargo1Program ? fJob.libraries.fargo1Dir : fJob.libraries.fargo2Dir;
    for (const std::string& name : info.libraries) {
        const std::string path = FindLibrary(folder, name);
        if (path.empty()) {
            if (name != "tios" && name != "kernel")
                ShowMessage(fJob.dialogs,
                            "Cannot find the required library \"" + folder + name + ".92p\"!\rYou need this file to run " +
                                info.path + ".",
                            MsgIcon::Warning);
            continue;
        }
        if (fSentLibraries.count(name))
            continue;
        if (Send92g(fJob.link, fJob.view, path)) {
            fSentLibraries.insert(name);
            ++fResult.librariesSent;
        }
    }
    if (info.DroppedLibraries() > 0)
        ShowMessage(fJob.dialogs,
                    info.path + " names " + std::to_string(info.declaredLibraries) +
                        " libraries; only the first " + std::to_string(info.LibraryCount()) +
                        " were looked up.\rYou need the others to run it too.",
                    MsgIcon::Warning);
}

}  // namespace

FileListSendResult SendFileList(const FileListSendJob& job, const std::vector<std::string>& paths)
{
    return Job(job, paths).Run();
}

std::vector<std::string> SelectedFilePaths(const std::string& directory,
                                           const std::vector<std::string>& selectedCaptions)
{
    const std::string folder = WithSlash(directory);
    std::vector<std::string> paths;
    for (const std::string& caption : selectedCaptions) {
        std::error_code ec;
        if (!fs::exists(folder + caption, ec))
            throw std::runtime_error("File does not exists:\r" + folder + caption);
        paths.push_back(folder + caption);
    }
    return paths;
}

FileListSendResult SendFiles(const FileListSendJob& job, const std::optional<std::string>& commandLineFile,
               const std::string& directory, const std::vector<std::string>& selectedCaptions)
{
    std::vector<std::string> paths;
    if (commandLineFile) {
        paths.push_back(*commandLineFile);
    } else {
        if (selectedCaptions.empty())
            return {};
        paths = SelectedFilePaths(directory, selectedCaptions);
    }
    if (paths.empty())
        throw std::runtime_error("No files to send!");
    return SendFileList(job, paths);
}
