#include "tests/support/RecordingTransferView.h"

namespace {
const char* Name(LabelId id)
{
    switch (id) {
    case LabelId::Transfer:
        return "Transfer";
    case LabelId::VariablesHeading:
        return "VariablesHeading";
    case LabelId::SaveStatus:
        return "SaveStatus";
    case LabelId::BackupSaveStatus:
        return "BackupSaveStatus";
    }
    return "?";
}

const char* Name(ProgressBarId id)
{
    switch (id) {
    case ProgressBarId::Variable:
        return "Variable";
    case ProgressBarId::Total:
        return "Total";
    case ProgressBarId::Save:
        return "Save";
    case ProgressBarId::BackupSave:
        return "BackupSave";
    case ProgressBarId::Convert:
        return "Convert";
    }
    return "?";
}

const char* Name(ListViewId id)
{
    return id == ListViewId::Calculator ? "Calculator" : "Received";
}
}  // namespace

void RecordingTransferView::ShowStatus(const std::string& text)
{
    calls.push_back("ShowStatus(" + text + ")");
    statuses.push_back(text);
    ++processMessages;
    if (onProcessMessages)
        onProcessMessages();
}

void RecordingTransferView::TransferMode(bool on)
{
    calls.push_back(std::string("TransferMode(") + (on ? "1" : "0") + ")");
    transferMode = on;
    ++(on ? transferModeOn : transferModeOff);
}

void RecordingTransferView::ClickNextButton()
{
    calls.push_back("ClickNextButton()");
    ++nextClicks;
}

void RecordingTransferView::ProcessMessages()
{
    ++processMessages;
    if (onProcessMessages)
        onProcessMessages();
}

void RecordingTransferView::SetLabel(LabelId label, const std::string& text)
{
    calls.push_back(std::string("SetLabel(") + Name(label) + ", " + text + ")");
    labels[label] = text;
    labelHistory[label].push_back(text);
}

std::string RecordingTransferView::Label(LabelId label) const
{
    auto it = labels.find(label);
    return it == labels.end() ? std::string() : it->second;
}

void RecordingTransferView::SetBarMax(ProgressBarId bar, int max)
{
    calls.push_back(std::string("SetBarMax(") + Name(bar) + ", " + std::to_string(max) + ")");
    barMax[bar] = max;
}

void RecordingTransferView::SetBarPosition(ProgressBarId bar, int position)
{
    barPosition[bar] = position;
    barHistory[bar].push_back(position);
}

int RecordingTransferView::BarMax(ProgressBarId bar) const
{
    auto it = barMax.find(bar);
    return it == barMax.end() ? 0 : it->second;
}

int RecordingTransferView::BarPosition(ProgressBarId bar) const
{
    auto it = barPosition.find(bar);
    return it == barPosition.end() ? 0 : it->second;
}

void RecordingTransferView::VarListClear()
{
    calls.push_back("VarListClear()");
    variableList.clear();
    varListSelected = -1;
}

void RecordingTransferView::VarListAdd(const std::string& line)
{
    calls.push_back("VarListAdd(" + line + ")");
    variableList.push_back(line);
}

int RecordingTransferView::VarListCount() const
{
    return static_cast<int>(variableList.size());
}

void RecordingTransferView::VarListSelect(int index)
{
    calls.push_back("VarListSelect(" + std::to_string(index) + ")");
    varListSelected = index;
}

int RecordingTransferView::VarListSelected() const
{
    return varListSelected;
}

void RecordingTransferView::ListViewClear(ListViewId list)
{
    calls.push_back(std::string("ListViewClear(") + Name(list) + ")");
    listViews[list].clear();
}

void RecordingTransferView::ListViewAdd(ListViewId list, const ListItem& item)
{
    calls.push_back(std::string("ListViewAdd(") + Name(list) + ", " + item.caption + ")");
    listViews[list].push_back(item);
}

std::vector<ListItem> RecordingTransferView::ListViewItems(ListViewId list) const
{
    auto it = listViews.find(list);
    return it == listViews.end() ? std::vector<ListItem>() : it->second;
}

void RecordingTransferView::StatusMemoAdd(const std::string& line)
{
    calls.push_back("StatusMemoAdd(" + line + ")");
    memo.push_back(line);
}

void RecordingTransferView::ErrorDialog(const std::string& text)
{
    calls.push_back("ErrorDialog(" + text + ")");
    errorDialogs.push_back(text);
}

int RecordingTransferView::Count(const std::string& prefix) const
{
    int n = 0;
    for (const auto& c : calls)
        if (c.compare(0, prefix.size(), prefix) == 0)
            ++n;
    return n;
}
