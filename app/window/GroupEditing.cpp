#include "app/window/GroupEditing.h"

#include <QPushButton>
#include <QTreeWidget>
#include <algorithm>
#include <map>

#include "app/window/WizardWindow.h"
#include "files/CommentPrompt.h"
#include "files/FileBrowser.h"
#include "files/FileExtensions.h"
#include "files/GroupFile.h"
#include "files/SafeFileName.h"
#include "files/Ti92Charset.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kCaption = "Linkwise";
constexpr const char* kSelectVariables = "Select the variables in the list of included variables first.";
constexpr const char* kSelectOneVariable = "Select the one variable to rename.";
constexpr const char* kSelectFiles = "Select the files to put together first.";
constexpr const char* kKeepOne =
    "A group file keeps at least one variable. To remove all of them, delete the file instead.";

std::string Shown(const FileVariable& v)
{
    return ti92text::ToUtf8(v.FullName());
}

std::string NameList(const std::vector<FileVariable>& variables)
{
    std::string names;
    for (const FileVariable& v : variables)
        names += (names.empty() ? "" : ", ") + Shown(v);
    return names;
}

std::string FileNameOf(const std::string& path)
{
    return fs::path(path).filename().string();
}

// One file for each variable in the folder, NAME.EXT; refused when two
// would share one.
std::vector<fs::path> FilesFor(const fs::path& folder, const std::vector<FileVariable>& variables);

}  // namespace

GroupEditing::GroupEditing(WizardWindow& form, Dialogs& dialogs, std::function<std::string()> directory,
                           std::function<void(const std::string&)> relist)
    : QObject(&form), fForm(form), fDialogs(dialogs), fDirectory(std::move(directory)), fRelist(std::move(relist))
{
    connect(form.extractButton, &QPushButton::clicked, this, &GroupEditing::onExtractClicked);
    connect(form.renameVariableButton, &QPushButton::clicked, this, &GroupEditing::onRenameClicked);
    connect(form.removeFromGroupButton, &QPushButton::clicked, this, &GroupEditing::onRemoveClicked);
    connect(form.groupFilesButton, &QPushButton::clicked, this, &GroupEditing::onGroupFilesClicked);
}

void GroupEditing::ShowFile(const std::string& path)
{
    fPath = path;
    QTreeWidget* list = fForm.includedVariableList;
    if (path.empty() || list->topLevelItemCount() == 0)
        return;
    try {
        const std::vector<FileVariable> variables = ReadFileVariables(path).variables;
        for (int i = 0; i < list->topLevelItemCount() && size_t(i) < variables.size(); ++i)
            list->topLevelItem(i)->setText(2, QString::number(variables[size_t(i)].data.size()));
    } catch (const ELinkwiseError&) {
        // A damaged file keeps what the panel could read; an edit names the damage.
    }
}

std::vector<size_t> GroupEditing::SelectedRows() const
{
    std::vector<size_t> rows;
    QTreeWidget* list = fForm.includedVariableList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected())
            rows.push_back(size_t(i));
    return rows;
}

std::vector<FileVariable> GroupEditing::ShownVariables(std::string& comment) const
{
    FileVariables file = ReadFileVariables(fPath);
    if (file.variables.size() != size_t(fForm.includedVariableList->topLevelItemCount()))
        throw EFileError(fPath + " has changed since it was listed; click Update! and choose again.");
    comment = file.comment;
    return file.variables;
}

void GroupEditing::Refuse(const std::string& text)
{
    fDialogs.MessageBox(text, kCaption, MsgIcon::Error, MsgButtons::Ok);
}

void GroupEditing::onExtractClicked()
{
    const std::vector<size_t> rows = SelectedRows();
    if (fPath.empty() || rows.empty()) {
        ShowMessage(fDialogs, kSelectVariables, MsgIcon::Information);
        return;
    }
    try {
        std::string comment;
        const std::vector<FileVariable> all = ShownVariables(comment);
        std::vector<FileVariable> chosen;
        for (size_t row : rows)
            chosen.push_back(all.at(row));
        if (chosen.size() == 1)
            ExtractOne(chosen.front(), comment);
        else
            ExtractSeveral(chosen, comment);
    } catch (const std::exception& e) {
        Refuse(e.what());
    }
}

void GroupEditing::ExtractOne(const FileVariable& v, const std::string& comment)
{
    const std::string extension = ExtensionForType(v.type);
    FileDialogRequest request;
    request.title = "Extract " + Shown(v) + " as..";
    request.initialDir = fDirectory();
    request.fileName = OwnVariableFile(v.folder, v.name, v.type).filename().string();
    request.filter = "TI-92 files (*." + extension + ");;All files (*)";
    request.defaultExtension = extension;
    const std::optional<std::string> path = fDialogs.SaveFileName(request);
    if (!path)
        return;
    SaveVariableFile(*path, {v}, comment);
    fForm.ShowStatus("Extracted " + Shown(v) + " into " + FileNameOf(*path));
    fRelist(FileNameOf(fPath));
}

void GroupEditing::ExtractSeveral(const std::vector<FileVariable>& chosen, const std::string& comment)
{
    const std::optional<std::string> folder = fDialogs.PickDirectory("Extract the variables into", fDirectory());
    if (!folder)
        return;
    const std::vector<fs::path> files = FilesFor(*folder, chosen);
    if (!ConfirmReplacing(files))
        return;
    for (size_t i = 0; i < chosen.size(); ++i)
        SaveVariableFile(files[i].string(), {chosen[i]}, comment);
    fForm.ShowStatus("Extracted " + std::to_string(chosen.size()) + " variables into " + *folder);
    fRelist(FileNameOf(fPath));
}

std::vector<fs::path> GroupEditing::WriteSelectedInto(const fs::path& folder) const
{
    std::string comment;
    const std::vector<FileVariable> all = ShownVariables(comment);
    std::vector<FileVariable> chosen;
    for (size_t row : SelectedRows())
        chosen.push_back(all.at(row));
    const std::vector<fs::path> files = FilesFor(folder, chosen);
    for (size_t i = 0; i < chosen.size(); ++i)
        SaveVariableFile(files[i].string(), {chosen[i]}, comment);
    return files;
}

namespace {

std::vector<fs::path> FilesFor(const fs::path& folder, const std::vector<FileVariable>& variables)
{
    std::vector<fs::path> files;
    std::map<fs::path, const FileVariable*> taken;
    for (const FileVariable& v : variables) {
        const fs::path file = folder / OwnVariableFile(v.folder, v.name, v.type).filename();
        if (auto [at, fresh] = taken.emplace(file, &v); !fresh)
            throw EFileError("The variables " + Shown(*at->second) + " and " + Shown(v) + " would both be saved as " +
                             file.string() + "; extract them one at a time.");
        files.push_back(file);
    }
    return files;
}

}  // namespace

bool GroupEditing::ConfirmReplacing(const std::vector<fs::path>& files)
{
    std::string existing;
    std::error_code ec;
    for (const fs::path& f : files)
        if (fs::exists(f, ec))
            existing += (existing.empty() ? "" : ", ") + f.filename().string();
    return existing.empty() || fDialogs.MessageBox("These files exist already: " + existing + ".\rReplace them?",
                                                   kCaption, MsgIcon::Question, MsgButtons::YesNo) == MsgResult::Yes;
}

void GroupEditing::onRenameClicked()
{
    const std::vector<size_t> rows = SelectedRows();
    if (fPath.empty() || rows.size() != 1) {
        ShowMessage(fDialogs, kSelectOneVariable, MsgIcon::Information);
        return;
    }
    try {
        std::string comment;
        std::vector<FileVariable> variables = ShownVariables(comment);
        const FileVariable old = variables.at(rows.front());
        const std::optional<std::string> name =
            fDialogs.AskText("Rename",
                             "New name of " + Shown(old) + " in " + FileNameOf(fPath) + " (the file is written anew):",
                             ti92text::ToUtf8(old.name));
        if (!name || *name == ti92text::ToUtf8(old.name))
            return;
        RenameVariable(variables, rows.front(), *name);
        Rewrite(variables, comment, "Renamed " + Shown(old) + " to " + Shown(variables[rows.front()]));
    } catch (const std::exception& e) {
        Refuse(e.what());
    }
}

void GroupEditing::onRemoveClicked()
{
    const std::vector<size_t> rows = SelectedRows();
    if (fPath.empty() || rows.empty()) {
        ShowMessage(fDialogs, kSelectVariables, MsgIcon::Information);
        return;
    }
    try {
        std::string comment;
        const std::vector<FileVariable> all = ShownVariables(comment);
        if (rows.size() == all.size()) {
            Refuse(kKeepOne);
            return;
        }
        std::vector<FileVariable> kept, removed;
        for (size_t i = 0; i < all.size(); ++i)
            (std::find(rows.begin(), rows.end(), i) != rows.end() ? removed : kept).push_back(all[i]);
        if (fDialogs.MessageBox("Remove " + NameList(removed) + " from " + FileNameOf(fPath) +
                                    "?\rThe file is written anew without them.",
                                kCaption, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
            return;
        Rewrite(kept, comment, "Removed " + NameList(removed) + " from " + FileNameOf(fPath));
    } catch (const std::exception& e) {
        Refuse(e.what());
    }
}

void GroupEditing::Rewrite(const std::vector<FileVariable>& variables, const std::string& comment,
                           const std::string& done)
{
    SaveVariableFile(fPath, variables, comment);
    fForm.ShowStatus(done);
    fRelist(FileNameOf(fPath));
}

void GroupEditing::onGroupFilesClicked()
{
    std::vector<std::string> paths;
    QTreeWidget* list = fForm.fileList;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        if (list->topLevelItem(i)->isSelected() && list->topLevelItem(i)->text(0).toStdString() != kNoFilesToShow)
            paths.push_back((fs::path(fDirectory()) / list->topLevelItem(i)->text(0).toStdString()).string());
    if (paths.empty()) {
        ShowMessage(fDialogs, kSelectFiles, MsgIcon::Information);
        return;
    }
    try {
        std::vector<FileVariable> variables;
        for (const std::string& path : paths) {
            const FileVariables file = ReadFileVariables(path);
            variables.insert(variables.end(), file.variables.begin(), file.variables.end());
        }
        CheckGroupable(variables);
        FileDialogRequest request;
        request.title = "Group selected files as..";
        request.initialDir = fDirectory();
        request.fileName = "group.92g";
        request.filter = "Group files (*.92g);;All files (*)";
        request.defaultExtension = "92g";
        const std::optional<std::string> target = fDialogs.SaveFileName(request);
        if (!target)
            return;
        const std::optional<std::string> comment = PromptComment(fDialogs, *target);
        if (!comment) {
            fForm.ShowStatus("Grouping cancelled; " + FileNameOf(*target) + " was not written");
            return;
        }
        SaveVariableFile(*target, variables, *comment);
        fForm.ShowStatus("Grouped " + std::to_string(variables.size()) + " variables into " + FileNameOf(*target));
        fRelist(FileNameOf(*target));
    } catch (const std::exception& e) {
        Refuse(e.what());
    }
}
