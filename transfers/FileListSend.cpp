#include "transfers/FileListSend.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "files/ByteSource.h"
#include "files/ClassifyFile.h"
#include "files/FileBrowser.h"
#include "files/SafeFileName.h"
#include "files/TextConversion.h"
#include "files/Ti92Charset.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"
#include "link/Ti92Link.h"
#include "link/TransferView.h"
#include "transfers/BackupImage.h"
#include "transfers/BackupSend.h"
#include "transfers/DirectoryListing.h"
#include "transfers/HeldVariables.h"
#include "transfers/SendPlan.h"
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
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
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

// A file as checked before the job sends anything.
struct PlannedFile {
    VariableFileType info;               // after a text conversion: the converted file
    std::string listed;                  // the file as the user chose it
    std::string converted;               // a converted text's bytes, written out again when its turn comes
    std::vector<WorkRecord> records;     // its entry table; empty for a backup
    std::map<size_t, std::string> kept;  // variables left out (by place in records), and why
    bool IsBackup() const { return info.kind == kBackupKind; }
};

// A Fargo library sent after the program that needs it.
struct PlannedLibrary {
    std::string name;
    PlannedFile file;
};

// A variable the job sends: the file it comes from and its entry.
struct JobVariable {
    const PlannedFile* file = nullptr;
    const WorkRecord* record = nullptr;
};

std::string SizeText(const Ti92Link& link, const WorkRecord& w)
{
    return TypeNameOf(link, w.type) + ", " + std::to_string(w.size) + " bytes";
}

// "the variable x in the folder main", or without the folder when it has none.
std::string VariableText(const std::string& fullName)
{
    const size_t slash = fullName.find('\\');
    if (slash == std::string::npos || slash == 0)
        return "the variable " + fullName.substr(slash == 0 ? 1 : 0);
    return "the variable " + fullName.substr(slash + 1) + " in the folder " + fullName.substr(0, slash);
}

std::string Joined(const std::vector<std::string>& items)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i)
        text += (i ? ", " : "") + items[i];
    return text;
}

class Job {
public:
    Job(const FileListSendJob& job, const std::vector<std::string>& paths) : fJob(job), fPaths(paths) {}
    FileListSendResult Run();

private:
    int64_t ListFiles();
    void CheckTextNames();
    void Fail(const std::exception& e);
    PlannedFile Check(const std::string& path);
    void PlanLibraries(size_t index);
    bool ConfirmBackups();
    bool ConfirmReplacing();
    void AskToReplace(const ListItem& row, size_t index, PlannedFile& file);
    void AskAboutRepeat(const JobVariable& earlier, size_t index, PlannedFile& file);
    bool Consented(const std::string& question);
    void SendOne(size_t index);
    void SendPlanned(PlannedFile& file);
    void NoteSent(const PlannedFile& file, bool library);
    void Collect(const VariableFileType& info);
    bool AskForLibraries(const VariableFileType& info);
    void AbortUnless(bool sent, const char* message);
    void Summarize();

    const FileListSendJob& fJob;
    const std::vector<std::string>& fPaths;
    std::vector<PlannedFile> fFiles;
    std::vector<std::vector<PlannedLibrary>> fLibraries;  // per file
    VariableFileType fInfo;                               // the file being processed
    bool fChecking = true;                                // nothing has gone out yet
    MsgResult fAll = MsgResult::Yes;                      // Yes: ask each; YesToAll / NoToAll / Cancel: decided
    LibraryChoice fChoice = LibraryChoice::Ask;
    std::map<std::string, std::string> fLanding;  // a variable's name in its file: where it lands
    FileListSendResult fResult;
};

FileListSendResult Job::Run()
{
    TransferView& view = fJob.view;
    const TransferScope transfer(view);
    fChoice = fJob.choice;
    fResult.files = static_cast<int>(fPaths.size());
    view.VarListClear();
    view.SetLabel(LabelId::VariablesHeading, "File(s) to send");
    if (fPaths.empty())
        return fResult;
    try {
        const int64_t total = ListFiles();
        CheckTextNames();
        view.SetBarMax(ProgressBarId::Total, static_cast<int>(std::min<int64_t>(total, INT32_MAX)));
        view.SetBarPosition(ProgressBarId::Total, 0);
        for (size_t i = 0; i < fPaths.size(); ++i) {
            fFiles.push_back(Check(fPaths[i]));
            PlanLibraries(i);
        }
        if (!ConfirmBackups() || !ConfirmReplacing()) {
            view.StatusMemoAdd(fResult.summary);
            return fResult;
        }
        fChecking = false;
        for (size_t i = 0; i < fFiles.size(); ++i)
            SendOne(i);
        Summarize();
    } catch (const std::exception& e) {
        Fail(e);
    }
    view.StatusMemoAdd(fResult.summary);
    return fResult;
}

// The files into the transfer list; their sizes added up for the total bar.
int64_t Job::ListFiles()
{
    int64_t total = 0;
    for (const std::string& path : fPaths) {
        // The list shows calculator text; a file name is UTF-8.
        fJob.view.VarListAdd(ti92text::FromUtf8(FileName(path)).bytes);
        std::error_code ec;
        const auto size = fs::file_size(path, ec);
        total += ec ? 0 : static_cast<int64_t>(size);
    }
    fJob.view.VarListSelect(-1);
    return total;
}

// A text file that can give no variable name stops the job before the first
// byte goes out.
void Job::CheckTextNames()
{
    for (const std::string& path : fPaths) {
        fInfo = VariableFileType{};
        fInfo.path = path;
        ClassifyFile(fInfo);
        if (fInfo.kind == kinds::kText)
            TextStoredName(path, fJob.textNaming);
    }
}

// The error that ended the job: its dialog and the summary line.
void Job::Fail(const std::exception& e)
{
    fResult.failed = true;
    fResult.errorClass = ErrorClassName(e);
    // EAbort follows a routine that has shown its own error already.
    if (!dynamic_cast<const EAbort*>(&e))
        fJob.view.ErrorDialog(ErrorDialogText("sending the file(s)", e));
    const std::string name = FileName(fInfo.path);
    const std::string errorClass = ErrorClassName(e);
    if (fChecking)
        fResult.summary = "An error (" + errorClass + ") occured while checking " + name + ". Nothing was sent.";
    else
        fResult.summary = fResult.filesSent == 0
                              ? "An error (" + errorClass + ") occured while sending " + name + ". "
                              : std::to_string(fResult.filesSent) + " of " + std::to_string(fResult.files) +
                                    " files were sent when an error (" + errorClass +
                                    ") occured. The error happend while sending " + name + ". ";
}

void Job::Summarize()
{
    TransferView& view = fJob.view;
    view.SetLabel(LabelId::Transfer, std::to_string(fResult.filesSent) + " files were sent successfully!");
    if (view.VarListCount() == fResult.filesSent) {
        if (fJob.whenSent)
            fJob.whenSent();
        view.ClickNextButton();
    }
    const std::string counts = std::to_string(fResult.filesSent) + " of " + std::to_string(fResult.files);
    fResult.summary = fResult.librariesSent > 0 ? "Totally " + counts + " selected file(s) + " +
                                                      std::to_string(fResult.librariesSent) + " libraries were sent."
                                                : "Totally " + counts + " selected file(s) were sent.";
}

// Everything that can be known about a file without the calculator: its
// kind, its entry table or backup image, the conversion of a text.
PlannedFile Job::Check(const std::string& path)
{
    PlannedFile file;
    file.listed = path;
    fInfo = VariableFileType{};
    fInfo.path = path;
    ClassifyFile(fInfo);
    if (fInfo.kind == kinds::kNone)
        throw EFileError(FileName(path) + " is neither a TI-92 file nor a text file.");
    if (fInfo.kind == kinds::kText) {
        // A failed conversion must not send whatever an earlier job left there.
        std::error_code ec;
        fs::remove(fJob.tempTextFile, ec);
        if (!Txtto92g(fJob.view, fJob.dialogs, fJob.store, fJob.storeFolders, path, fJob.tempTextFile, false,
                      "Temporary converted textfile", fJob.textNaming, kDefaultTabSize,
                      "the text variable " + TextStoredName(path, fJob.textNaming)))
            throw EFileError("The text file " + path + " could not be converted.");
        file.converted = ReadWholeFile(fJob.tempTextFile);
        fInfo = VariableFileType{};
        fInfo.path = fJob.tempTextFile;
        ClassifyBytes(fInfo, MemoryBytes(file.converted));
    }
    if (fInfo.kind == kBackupKind)
        ReadCheckedImage(DiskBytes(fInfo.path), FileName(fInfo.path));
    else if (file.converted.empty())
        file.records = PlanSend(DiskBytes(fInfo.path), FileName(fInfo.path));
    else
        file.records = PlanSend(MemoryBytes(file.converted), FileName(fInfo.path));
    file.info = fInfo;
    return file;
}

// The libraries a program needs, asked for and looked up before anything is
// sent; each library once per job.
void Job::PlanLibraries(size_t index)
{
    fLibraries.emplace_back();
    const VariableFileType& info = fFiles[index].info;
    if (!IsProgram(info.kind) || !AskForLibraries(info) || info.LibraryCount() == 0)
        return;
    const std::string& folder =
        info.kind == kinds::kFargo1Program ? fJob.libraries.fargo1Dir : fJob.libraries.fargo2Dir;
    for (const std::string& name : info.libraries) {
        const std::string path = FindLibrary(folder, name);
        if (path.empty()) {
            if (name != "tios" && name != "kernel")
                ShowMessage(fJob.dialogs,
                            "Cannot find the required library \"" + folder + name +
                                ".92p\"!\rYou need this file to run " + info.path + ".",
                            MsgIcon::Warning);
            continue;
        }
        bool planned = false;
        for (const auto& earlier : fLibraries)
            for (const PlannedLibrary& l : earlier)
                planned = planned || l.name == name;
        if (!planned)
            fLibraries.back().push_back({name, Check(path)});
    }
    if (info.DroppedLibraries() > 0)
        ShowMessage(fJob.dialogs,
                    info.path + " names " + std::to_string(info.declaredLibraries) + " libraries; only the first " +
                        std::to_string(info.LibraryCount()) + " were looked up.\rYou need the others to run it too.",
                    MsgIcon::Warning);
}

bool Job::ConfirmBackups()
{
    if (!fJob.confirmBackup)
        return true;
    for (const PlannedFile& f : fFiles) {
        if (!f.IsBackup())
            continue;
        const std::string name = FileName(f.info.path);
        if (fJob.dialogs.MessageBox("Sending the memory backup " + name +
                                        " replaces the calculator's whole memory: every variable on the "
                                        "calculator is replaced by the backup's content.\r\rSend it?",
                                    "Send memory backup?", MsgIcon::Warning, MsgButtons::YesNo) != MsgResult::Yes) {
            fResult.declined = true;
            fResult.summary = "The memory backup " + name + " was not sent. Nothing was sent.";
            return false;
        }
    }
    return true;
}

// One listing for the whole job; each variable the job would put over one
// the calculator holds is asked about, or refused.
bool Job::ConfirmReplacing()
{
    std::vector<PlannedFile*> files;
    for (size_t i = 0; i < fFiles.size(); ++i) {
        files.push_back(&fFiles[i]);
        for (PlannedLibrary& l : fLibraries[i])
            files.push_back(&l.file);
    }
    const bool anyVariable = std::any_of(files.begin(), files.end(), [](const PlannedFile* f) {
        return std::any_of(f->records.begin(), f->records.end(), [](const WorkRecord& w) { return !w.folder; });
    });
    if (fJob.replace == ReplacePolicy::Replace || !anyVariable)
        return true;
    // The listing runs in a transfer scope of its own, nested in the job's.
    std::string currentFolder;
    const auto rows = ReadDirectory(fJob.link, fJob.view, &currentFolder);
    if (!rows) {
        fResult.failed = true;
        fResult.summary = "The calculator's directory could not be read, so nothing was sent.";
        return false;
    }
    const HeldVariables held(*rows, currentFolder);
    // Where each variable lands: a second copy replaces the first as surely
    // as it would replace the calculator's own.
    std::map<std::string, JobVariable> sent;
    for (PlannedFile* f : files)
        for (size_t i = 0; i < f->records.size(); ++i) {
            const WorkRecord& w = f->records[i];
            if (w.folder)
                continue;
            for (const std::string& key : held.Replaced(w.fullName))
                AskToReplace(held.Row(key), i, *f);
            const std::string target = held.Target(w.fullName);
            fLanding[w.fullName] = target;
            if (const auto earlier = sent.find(target); earlier != sent.end() && !f->kept.count(i))
                AskAboutRepeat(earlier->second, i, *f);
            if (!f->kept.count(i))
                sent[target] = {f, &w};
            if (fAll == MsgResult::Cancel) {
                fResult.cancelled = true;
                fResult.summary = "The send was cancelled; nothing was sent.";
                fJob.view.SetLabel(LabelId::Transfer, fResult.summary);
                return false;
            }
        }
    if (fResult.existing.empty() && fResult.repeated.empty())
        return true;
    fResult.failed = true;
    std::vector<std::string> reasons;
    if (!fResult.existing.empty())
        reasons.push_back("the calculator already holds " + Joined(fResult.existing));
    if (!fResult.repeated.empty())
        reasons.push_back("the files give " + Joined(fResult.repeated) + " more than once");
    fResult.summary = "Nothing was sent: " + Joined(reasons) + ".";
    return false;
}

// Yes when the user answers Yes or Yes to all; a "to all" answers the
// questions after it too, and a Cancel ends the asking.
bool Job::Consented(const std::string& question)
{
    MsgResult answer = fAll;
    if (answer == MsgResult::Yes) {
        answer = fJob.dialogs.MessageBox(question, "Replace variable?", MsgIcon::Question, MsgButtons::YesNoAll);
        if (answer == MsgResult::YesToAll || answer == MsgResult::NoToAll || answer == MsgResult::Cancel)
            fAll = answer;
    }
    return answer == MsgResult::Yes || answer == MsgResult::YesToAll;
}

// Refused (by the policy) or kept (a No) variables are noted for the report.
void Job::AskToReplace(const ListItem& row, size_t index, PlannedFile& file)
{
    const std::string theirs = (row.subItems.size() > 1 ? row.subItems[0] + ", " + row.subItems[1] : "?") + " bytes";
    const std::string ours = SizeText(fJob.link, file.records[index]);
    const std::string source = FileName(file.listed);
    if (fJob.replace == ReplacePolicy::Refuse) {
        fResult.existing.push_back(row.caption + " (" + theirs + " on the calculator; " + ours + " in " + source + ")");
        return;
    }
    if (!Consented("The calculator already holds " + VariableText(row.caption) + ".\r\rOn the calculator: " + theirs +
                   ".\rIn " + source + ": " + ours + ".\r\rReplace it?"))
        file.kept[index] = "the calculator keeps its own";
}

// A variable the job has sent once already: refused, or asked about.
void Job::AskAboutRepeat(const JobVariable& earlier, size_t index, PlannedFile& file)
{
    const WorkRecord& w = file.records[index];
    const std::string first = SizeText(fJob.link, *earlier.record) + " in " + FileName(earlier.file->listed);
    const std::string then = SizeText(fJob.link, w) + " in " + FileName(file.listed);
    if (fJob.replace == ReplacePolicy::Refuse) {
        fResult.repeated.push_back(w.fullName + " (first " + first + ", then " + then + ")");
        return;
    }
    if (!Consented("The files give " + VariableText(w.fullName) + " twice.\r\rFirst: " + first + ".\rThen: " + then +
                   ".\r\rReplace the first with the second?"))
        file.kept[index] = "the copy in " + FileName(earlier.file->listed) + " is sent instead";
}

void Job::SendOne(size_t index)
{
    TransferView& view = fJob.view;
    view.VarListSelect(static_cast<int>(index));
    PlannedFile& file = fFiles[index];
    fInfo = file.info;
    if (fInfo.kind == kinds::kFargo1Library || fInfo.kind == kinds::kFargo2Library)
        Collect(fInfo);

    view.SetLabel(LabelId::Transfer, "Transferring " + FileName(file.listed) + " ~ " +
                                         (fInfo.description.empty() ? ShownComment(fInfo) : fInfo.description + "*"));
    view.ProcessMessages();

    const int position = view.BarPosition(ProgressBarId::Total);
    const bool kept =
        !file.records.empty() &&
        file.kept.size() == static_cast<size_t>(std::count_if(file.records.begin(), file.records.end(),
                                                              [](const WorkRecord& w) { return !w.folder; }));
    if (kept)
        view.StatusMemoAdd("\"" + FileName(file.listed) + "\" was not sent: the calculator keeps its own variables.");
    else {
        SendPlanned(file);
        NoteSent(file, false);
    }
    view.SetBarPosition(ProgressBarId::Total,
                        static_cast<int>(std::min<int64_t>(int64_t(position) + fInfo.size, INT32_MAX)));
    if (!kept)
        ++fResult.filesSent;

    for (PlannedLibrary& library : fLibraries[index]) {
        fInfo = library.file.info;
        if (library.file.kept.empty()) {
            SendPlanned(library.file);
            NoteSent(library.file, true);
            ++fResult.librariesSent;
        }
    }
}

void Job::SendPlanned(PlannedFile& file)
{
    TransferView& view = fJob.view;
    if (file.IsBackup()) {
        AbortUnless(SendBackup(fJob.link, view, file.info.path), "bTransfer aborted!");
        return;
    }
    if (!file.converted.empty()) {
        std::ofstream out(file.info.path, std::ios::binary | std::ios::trunc);
        out.write(file.converted.data(), static_cast<std::streamsize>(file.converted.size()));
        if (!out.flush())
            throw EFileError("Cannot write " + file.info.path + ".");
    }
    std::set<size_t> leaveOut;
    for (const auto& [index, why] : file.kept)
        leaveOut.insert(index);
    AbortUnless(Send92g(fJob.link, view, file.info.path, leaveOut, FileName(file.listed)), "pTransfer aborted!");
    for (const auto& [index, why] : file.kept)
        view.StatusMemoAdd(file.records[index].fullName + " was not sent: " + why + ".");
}

void Job::NoteSent(const PlannedFile& file, bool library)
{
    SentFile sent{FileName(file.listed), {}, library, file.IsBackup()};
    for (size_t i = 0; i < file.records.size(); ++i) {
        const std::string& name = file.records[i].fullName;
        if (!file.records[i].folder && !file.kept.count(i))
            // Without a folder ("\\notes") it lands in the calculator's current one.
            sent.variables.push_back(fLanding.count(name)       ? fLanding.at(name)
                                     : name.rfind('\\', 0) == 0 ? name.substr(1)
                                                                : name);
    }
    fResult.sent.push_back(std::move(sent));
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
    fJob.view.StatusMemoAdd(
        name + (v1 ? " was copied to Fargo library-directory." : " was copied to Fargo2 library-directory."));
}

bool Job::AskForLibraries(const VariableFileType& info)
{
    if (fChoice == LibraryChoice::AlwaysYes)
        return true;
    if (fChoice == LibraryChoice::AlwaysNo)
        return false;
    const int r =
        fJob.dialogs.FargoLibraryQuestion("Send " + std::to_string(info.LibraryCount()) + " Fargo libraries?");
    if (r > 20)
        fChoice = LibraryChoice::AlwaysNo;
    else if (r > 10)
        fChoice = LibraryChoice::AlwaysYes;
    return r % 10 == 1;
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
