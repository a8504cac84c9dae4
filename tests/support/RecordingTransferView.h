#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "link/TransferView.h"

// A transfer view that keeps everything a routine shows: every call in order
// (as text, in `calls`), the labels, bars, list views, variableList, the status
// report and the error dialogs.
class RecordingTransferView : public TransferView {
public:
    void ShowStatus(const std::string& text) override;
    void TransferMode(bool on) override;
    void ClickNextButton() override;
    void ProcessMessages() override;

    void SetLabel(LabelId label, const std::string& text) override;
    std::string Label(LabelId label) const override;

    void SetBarMax(ProgressBarId bar, int max) override;
    void SetBarPosition(ProgressBarId bar, int position) override;
    int BarMax(ProgressBarId bar) const override;
    int BarPosition(ProgressBarId bar) const override;

    void VarListClear() override;
    void VarListAdd(const std::string& line) override;
    int VarListCount() const override;
    void VarListSelect(int index) override;
    int VarListSelected() const override;

    void ListViewClear(ListViewId list) override;
    void ListViewAdd(ListViewId list, const ListItem& item) override;
    std::vector<ListItem> ListViewItems(ListViewId list) const override;

    void StatusMemoAdd(const std::string& line) override;
    void ErrorDialog(const std::string& text) override;

    // Every call but bar positions (those are in barHistory), e.g.
    // "ShowStatus(Writing headers)", "TransferMode(1)".
    std::vector<std::string> calls;
    std::vector<std::string> statuses;      // ShowStatus texts in order
    std::vector<std::string> memo;          // reportMemo lines
    std::vector<std::string> errorDialogs;  // texts of the error dialogs
    std::vector<std::string> variableList;
    int varListSelected = -1;
    std::map<LabelId, std::string> labels;
    std::map<LabelId, std::vector<std::string>> labelHistory;
    std::map<ProgressBarId, int> barMax;
    std::map<ProgressBarId, int> barPosition;
    std::map<ProgressBarId, std::vector<int>> barHistory;  // positions set, in order
    std::map<ListViewId, std::vector<ListItem>> listViews;
    bool transferMode = false;
    int transferModeOn = 0, transferModeOff = 0;
    int nextClicks = 0;
    int processMessages = 0;
    // Runs on every ProcessMessages (and ShowStatus), like pending events.
    std::function<void()> onProcessMessages;

    // Number of recorded calls that start with prefix.
    int Count(const std::string& prefix) const;
};
