#pragma once
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "link/TransferView.h"

class TTI92;

// The window's transfer view on a terminal. Lists and labels are kept in
// memory for the command to read; error dialogs and report lines are
// printed; with `progress` (the error stream is a terminal) a progress bar
// is drawn on one line of the error stream while a transfer runs.
class ConsoleTransferView : public TransferView {
public:
    ConsoleTransferView(TTI92& link, std::ostream& out, std::ostream& err, bool progress);
    ~ConsoleTransferView() override;

    void ShowStatus(const std::string& text) override;
    void TransferMode(bool on) override;
    void ClickNextButton() override {}
    void ProcessMessages() override;

    void SetLabel(LabelId label, const std::string& text) override;
    std::string Label(LabelId label) const override;

    void SetBarMax(ProgressBarId bar, int max) override;
    void SetBarPosition(ProgressBarId bar, int position) override;
    int BarMax(ProgressBarId bar) const override;
    int BarPosition(ProgressBarId bar) const override;

    void VarListClear() override { fVarList.clear(); }
    void VarListAdd(const std::string& line) override { fVarList.push_back(line); }
    int VarListCount() const override { return static_cast<int>(fVarList.size()); }
    void VarListSelect(int index) override { fVarListSelected = index; }
    int VarListSelected() const override { return fVarListSelected; }

    void ListViewClear(ListViewId list) override { fLists[list].clear(); }
    void ListViewAdd(ListViewId list, const ListItem& item) override { fLists[list].push_back(item); }
    std::vector<ListItem> ListViewItems(ListViewId list) const override;
    // Marks rows as the user's selection would.
    void SetSelected(ListViewId list, size_t row, bool selected);

    // Report lines go to the output; error lines (" An error (...)") and
    // variables not received (" Not received: ...") to the error stream,
    // the latter only when the dialog before did not name them already.
    void StatusMemoAdd(const std::string& line) override;
    void ErrorDialog(const std::string& text) override;
    const std::vector<std::string>& Memo() const { return fMemo; }
    // The text of the last error dialog (empty when none was shown).
    const std::string& LastError() const { return fLastError; }

    // Whether a progress bar makes sense on this stream.
    static bool IsTerminal(const std::ostream& stream);

private:
    void Draw();
    void ClearLine();

    TTI92& fLink;
    std::ostream& fOut;
    std::ostream& fErr;
    bool fProgress;
    bool fLineShown = false;
    std::string fLastDrawn;
    std::string fStatus;
    std::map<LabelId, std::string> fLabels;
    std::map<ProgressBarId, int> fMax, fPos;
    std::vector<std::string> fVarList;
    int fVarListSelected = -1;
    std::map<ListViewId, std::vector<ListItem>> fLists;
    std::vector<std::string> fMemo;
    std::string fLastError;
};
