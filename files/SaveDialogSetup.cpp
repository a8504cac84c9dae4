#include "files/SaveDialogSetup.h"

#include <filesystem>
#include <optional>

#include "files/CommentPrompt.h"
#include "files/FileExtensions.h"
#include "files/SafeFileName.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "link/TransferView.h"
#include "link/TypeNames.h"

FileDialogRequest PrepareSaveDialog(const TempStore& store, const FileDialogRequest& previous)
{
    FileDialogRequest request = previous;
    request.title = "Save variable(s) as..";
    request.defaultExtension = "92g";
    request.filter = "TI92 groupfiles (*.92g)";
    std::vector<IndexRecord> records;
    try {
        records = store.ReadIndex();
    } catch (const EFileError&) {
        // No store yet: the save itself reports it.
    }
    if (records.size() != 1)
        return request;
    const IndexRecord& r = records[0];
    std::string extension = ExtensionForType(r.type);
    if (extension != "92g") {
        request.defaultExtension = extension;
        request.filter = "TI92 " + TypeName(r.type) + " files (*." + extension + ");;" + request.filter;
    }
    request.fileName = SafeFileName(EntryName(r.name)) + "." + request.defaultExtension;
    return request;
}

FileDialogRequest PrepareBackupSaveDialog(const std::string& initialDir)
{
    FileDialogRequest request;
    request.title = "Save variable(s) as..";
    request.initialDir = initialDir;
    request.defaultExtension = "92b";
    request.filter = "TI92-Backupfiles (*.92b)";
    return request;
}

namespace {

// The comment typed on the page, in calculator codes; what did not come
// through whole is told in the report.
std::string PageComment(TransferView& view, const std::string& typed)
{
    const FileComment comment = CommentFromUtf8(typed);
    for (const std::string& note : CommentNotes(comment))
        view.StatusMemoAdd(" Note: " + note + ".");
    return comment.bytes;
}

bool SaveStore(Dialogs& dialogs, TransferView& view, const TempStore& store, bool storeFolders, bool backupChecked,
               FileDialogRequest& dialogState, const std::optional<std::string>& pageComment)
{
    dialogState = PrepareSaveDialog(store, dialogState);
    auto path = dialogs.SaveFileName(dialogState);
    if (!path)
        return false;
    dialogState.fileName = *path;
    const std::optional<std::string> comment =
        pageComment ? PageComment(view, *pageComment) : PromptComment(dialogs, *path);
    if (!comment) {
        view.StatusMemoAdd(SaveCancelledText(*path));
        return false;
    }
    bool saved = SaveAs92g(view, store, storeFolders, *path, backupChecked, true, *comment);
    view.ClickNextButton();
    return saved;
}

// The chosen records copied into a store of their own beside the first.
class SelectedStore {
public:
    SelectedStore(const TempStore& store, const std::vector<size_t>& selected) : fStore(store.Folder() / "~selected")
    {
        std::filesystem::create_directories(fStore.Folder());
        fStore.Clear();
        const std::vector<IndexRecord> records = store.ReadIndex();
        for (size_t i : selected)
            if (i < records.size())
                fStore.AddItem(records[i].name, records[i].type, store.ReadItem(records[i]));
    }
    ~SelectedStore()
    {
        fStore.Remove();
        std::error_code ignored;
        std::filesystem::remove(fStore.Folder(), ignored);
    }
    SelectedStore(const SelectedStore&) = delete;
    SelectedStore& operator=(const SelectedStore&) = delete;
    const TempStore& Store() const { return fStore; }

private:
    TempStore fStore;
};

}  // namespace

bool SaveReceivedVariables(Dialogs& dialogs, TransferView& view, const TempStore& store, bool storeFolders,
                           bool backupChecked, FileDialogRequest& dialogState, const std::vector<size_t>& selected,
                           const std::optional<std::string>& pageComment)
{
    // A backup is one image: there is nothing to choose from.
    if (selected.empty() || backupChecked)
        return SaveStore(dialogs, view, store, storeFolders, backupChecked, dialogState, pageComment);
    std::optional<SelectedStore> part;
    try {
        part.emplace(store, selected);
    } catch (const std::exception& e) {
        view.ErrorDialog(ErrorDialogText("saving the file", e) + " Nothing on the disk was changed.");
        return false;
    }
    return SaveStore(dialogs, view, part->Store(), storeFolders, backupChecked, dialogState, pageComment);
}
