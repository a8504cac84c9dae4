#pragma once
#include <iosfwd>
#include <map>
#include <string>
#include <vector>

#include "app/cli/CliCommands.h"
#include "link/TransferView.h"

class Ti92Link;
struct CliContext;

// The window's transfer view on a terminal. Lists and labels are kept in
// memory for the command to read; error dialogs and report lines are
// printed. Progress goes to the error stream as the options say: on a
// terminal a bar on one line (bytes done, total, percentage, time left; at
// most ten times a second), otherwise one line at every tenth of the job.
class ConsoleTransferView : public TransferView {
public:
    ConsoleTransferView(Ti92Link& link, const CliContext& context);
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

    // Error lines (" An error (...)") and variables not received (" Not
    // received: ...") go to the error stream, the latter only when the
    // dialog before did not name them already; the window's report of a job
    // that went well is left to the command, which says what it did; other
    // lines are notes.
    void StatusMemoAdd(const std::string& line) override;
    void ErrorDialog(const std::string& text) override;
    const std::vector<std::string>& Memo() const { return fMemo; }
    // The text of the last error dialog (empty when none was shown).
    const std::string& LastError() const { return fLastError; }
    // The exit status of a failed job: 1 when the calculator was not ready or
    // refused, 2 otherwise.
    int FailureStatus() const;

    // Whether a progress bar makes sense on this stream.
    static bool IsTerminal(const std::ostream& stream);

private:
    void Draw(bool force = false);
    void ProgressLine();
    void ClearLine();

    Ti92Link& fLink;
    const CliContext& fContext;
    std::ostream& fErr;
    ProgressStyle fStyle;
    uint32_t fStartTick = 0;
    uint32_t fLastDrawTick = 0;
    int fTenthsShown = 0;
    int fScreenRows = -2;  // rows of a screenshot received; -2 when none is on its way
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
