#pragma once
#include <string>
#include <vector>

// What a transfer routine touches on the window. The main window shows it on
// its widgets; tests record it; the command line prints it.
enum class ProgressBarId { Variable, Total, Save, BackupSave, Convert };
enum class LabelId { Transfer, VariablesHeading, SaveStatus, BackupSaveStatus };
enum class ListViewId { Calculator, Received };

struct ListItem {
    std::string caption;
    std::vector<std::string> subItems;
    int data = 0;  // the row's data, e.g. the type code of a listing row
    bool selected = false;
};

class TransferView {
public:
    virtual ~TransferView() = default;

    // Status label: caption and hint := text, then pending events run.
    virtual void ShowStatus(const std::string& text) = 0;
    // On: clears the link's abort flag, disables navigation, busy cursor,
    // the cancel button reads "&Abort!". Off: the reverse, "E&xit!".
    virtual void TransferMode(bool on) = 0;
    // Automatic Next: after a second when enabled, at once in command mode.
    virtual void ClickNextButton() = 0;
    virtual void ProcessMessages() = 0;

    virtual void SetLabel(LabelId label, const std::string& text) = 0;
    virtual std::string Label(LabelId label) const = 0;

    virtual void SetBarMax(ProgressBarId bar, int max) = 0;
    virtual void SetBarPosition(ProgressBarId bar, int position) = 0;
    virtual int BarMax(ProgressBarId bar) const = 0;
    virtual int BarPosition(ProgressBarId bar) const = 0;

    // variableList: the names being transferred; one may be highlighted (-1: none).
    virtual void VarListClear() = 0;
    virtual void VarListAdd(const std::string& line) = 0;
    virtual int VarListCount() const = 0;
    virtual void VarListSelect(int index) = 0;
    virtual int VarListSelected() const = 0;

    virtual void ListViewClear(ListViewId list) = 0;
    virtual void ListViewAdd(ListViewId list, const ListItem& item) = 0;
    virtual std::vector<ListItem> ListViewItems(ListViewId list) const = 0;

    virtual void StatusMemoAdd(const std::string& line) = 0;
    // Error icon, OK button.
    virtual void ErrorDialog(const std::string& text) = 0;
};

// Transfer mode for the life of a block: on when made, off however the block
// ends (a return, a refusal, an exception), so the window is never left
// locked or unlocked wrongly. Scopes may nest; the view counts them.
class TransferScope {
public:
    explicit TransferScope(TransferView& view) : fView(view) { fView.TransferMode(true); }
    ~TransferScope() { fView.TransferMode(false); }
    TransferScope(const TransferScope&) = delete;
    TransferScope& operator=(const TransferScope&) = delete;

private:
    TransferView& fView;
};
