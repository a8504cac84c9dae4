#pragma once
// Group files edited from the "Select file(s)" page: the clicked file's
// variables with type and size, "Extract", "Rename", "Remove from group" and
// "Group selected files". Every question and file dialog goes through the
// dialogs seam; a refusal is shown in a box that names the file and the
// variable, and nothing on the disk changes then. Files are written through
// the safe replacing save (GroupFile).
#include <QObject>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class Dialogs;
class WizardWindow;
struct FileVariable;

class GroupEditing : public QObject {
    Q_OBJECT
public:
    // `relist(fileName)` lists the folder anew and shows the named file in
    // the panel again (nothing for an empty name).
    GroupEditing(WizardWindow& form, Dialogs& dialogs, std::function<std::string()> directory,
                 std::function<void(const std::string&)> relist);

    // The panel now describes `path`: the sizes of its variables are shown.
    void ShowFile(const std::string& path);
    void onExtractClicked();
    void onRenameClicked();
    void onRemoveClicked();
    void onGroupFilesClicked();

    // The selected variables of the shown file, each as a single-variable
    // file in `folder` (for a drag or a copy); throws EFileError.
    std::vector<std::filesystem::path> WriteSelectedInto(const std::filesystem::path& folder) const;

private:
    std::vector<size_t> SelectedRows() const;
    // The shown file's variables, read anew; throws EFileError when the file
    // no longer matches the panel.
    std::vector<FileVariable> ShownVariables(std::string& comment) const;
    void ExtractOne(const FileVariable& v, const std::string& comment);
    void ExtractSeveral(const std::vector<FileVariable>& chosen, const std::string& comment);
    bool ConfirmReplacing(const std::vector<std::filesystem::path>& files);
    void Rewrite(const std::vector<FileVariable>& variables, const std::string& comment, const std::string& done);
    void Refuse(const std::string& text);

    WizardWindow& fForm;
    Dialogs& fDialogs;
    std::function<std::string()> fDirectory;
    std::function<void(const std::string&)> fRelist;
    std::string fPath;
};
