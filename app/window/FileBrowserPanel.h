#pragma once
#include <QObject>
#include <filesystem>
#include <string>
#include <vector>

#include "link/TransferView.h"

class Dialogs;
class GroupEditing;
class FileDragDrop;
class WizardWindow;
class PictureViewer;
class TextViewer;
class Ti92Link;
class QTreeWidgetItem;
struct FilePanel;
struct ViewedVariable;

// The "Select file(s)" page: the file list with its information panel, the
// folder history, "&Browse..", "Update!", the resize layout, and the text
// and picture viewers with the two "&View" buttons.
class FileBrowserPanel : public QObject {
    Q_OBJECT
public:
    FileBrowserPanel(WizardWindow& form, Ti92Link& link, Dialogs& dialogs);

    // The folder listed: the first history entry.
    std::string Directory() const;
    void ListFiles();  // throws EFileError when the folder cannot be read
    // "Update!" and entering the page: a folder that cannot be read is named
    // in an error box and leaves the list empty.
    void ListFilesShowingError();
    void onFileListClicked();
    void onFileListHeaderClicked(int column);
    void ResizeLayout();
    // Picking history entry `index` (click or Enter).
    void onFolderPicked(int index);
    void onBrowseClicked();
    void onViewVariableClicked();
    // The "&View" button of the "Save received" page.
    void onViewReceivedClicked();
    void ExtractData(const std::string& path);
    void HideViewers();
    // The rows of the file list as shown, selection included.
    std::vector<ListItem> Rows() const;

    // Files dropped or pasted on the window: the send task runs with them,
    // unless a transfer is running (then the status line says they were not
    // taken).
    void SendGivenFiles(const std::vector<std::string>& paths);
    // Lists the folder anew and shows the file named in the panel again.
    void Relist(const std::string& fileName);

    TextViewer* textViewer;
    PictureViewer* pictureViewer;
    GroupEditing* groupEditing;
    FileDragDrop* dragDrop;
    int sortKey = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FillList(const std::vector<ListItem>& rows);
    std::vector<std::filesystem::path> WriteReceivedInto(const std::filesystem::path& folder) const;
    void ListWithHistoryError();
    void PlaceViewers();
    void ShowViewed(const ViewedVariable& v);
    void PutFolderFirst(const QString& folder, int oldIndex);
    QTreeWidgetItem* FirstSelected() const;
    void SendSelected();
    // The steps of onFileListClicked, in the order the panel fills.
    void ShowNoFile(const char* title);
    void ShowSelectionSize(const std::string& dir);
    void ShowContent(const FilePanel& panel);
    void ShowSideFiles(const FilePanel& panel);
    void ShowCommentAndLibraries(const FilePanel& panel);

    WizardWindow& fForm;
    Ti92Link& fLink;
    Dialogs& fDialogs;
    // Events arrive while the window is being torn down, when its members
    // are gone: the filter compares against pointers kept from the start.
    const QObject* fFileList;
    const QObject* fWindow;
    bool fViewersPlaced = false;
    std::vector<std::string> fGivenFiles;  // a drop's files, for the send step
};
