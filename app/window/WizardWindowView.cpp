// The transfer view: what transfer routines write into the window. Names
// are calculator bytes: shown in the calculator's characters, and kept as
// bytes beside the shown text so they survive the trip through the widgets.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTreeWidget>

#include "app/window/ReadyLampShape.h"
#include "app/window/WizardWindow.h"
#include "files/Ti92Charset.h"
#include "link/Dialogs.h"
#include "link/Exceptions.h"

namespace {

constexpr int kCaptionBytesRole = Qt::UserRole + 1;

bool IsAbort(std::exception_ptr error)
{
    if (!error)
        return false;
    try {
        std::rethrow_exception(error);
    } catch (const EUserError&) {
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

QProgressBar* WizardWindow::Bar(ProgressBarId bar) const
{
    switch (bar) {
    case ProgressBarId::Variable:
        return variableProgress;
    case ProgressBarId::Total:
        return totalProgress;
    case ProgressBarId::Save:
        return saveProgress;
    case ProgressBarId::BackupSave:
        return backupSaveProgress;
    case ProgressBarId::Convert:
        return convertProgress;
    }
    return variableProgress;
}

QLabel* WizardWindow::LabelWidget(LabelId label) const
{
    switch (label) {
    case LabelId::Transfer:
        return transferLabel;
    case LabelId::VariablesHeading:
        return variablesLabel;
    case LabelId::SaveStatus:
        return saveStatusLabel;
    case LabelId::BackupSaveStatus:
        return backupSaveStatusLabel;
    }
    return transferLabel;
}

QTreeWidget* WizardWindow::ListView(ListViewId list) const
{
    return list == ListViewId::Calculator ? calculatorList : receivedList;
}

void WizardWindow::SetLabel(LabelId label, const std::string& text)
{
    LabelWidget(label)->setText(QString::fromStdString(text));
}

std::string WizardWindow::Label(LabelId label) const
{
    return LabelWidget(label)->text().toStdString();
}

void WizardWindow::SetBarMax(ProgressBarId bar, int max)
{
    QProgressBar* b = Bar(bar);
    b->setMaximum(max);
}

void WizardWindow::SetBarPosition(ProgressBarId bar, int position)
{
    QProgressBar* b = Bar(bar);
    // A position beyond the maximum shows as full instead of being refused.
    b->setValue(std::min(std::max(position, b->minimum()), b->maximum()));
}

int WizardWindow::BarMax(ProgressBarId bar) const
{
    return Bar(bar)->maximum();
}

int WizardWindow::BarPosition(ProgressBarId bar) const
{
    return Bar(bar)->value();
}

void WizardWindow::VarListClear()
{
    variableList->clear();
}

void WizardWindow::VarListAdd(const std::string& line)
{
    variableList->addItem(QString::fromStdString(ti92text::ToUtf8(line)));
}

int WizardWindow::VarListCount() const
{
    return variableList->count();
}

void WizardWindow::VarListSelect(int index)
{
    if (index < 0 || index >= variableList->count())
        variableList->setCurrentRow(-1);
    else
        variableList->setCurrentRow(index);
}

int WizardWindow::VarListSelected() const
{
    return variableList->currentRow();
}

void WizardWindow::ListViewClear(ListViewId list)
{
    ListView(list)->clear();
}

void WizardWindow::ListViewAdd(ListViewId list, const ListItem& item)
{
    QTreeWidget* view = ListView(list);
    auto* row = new QTreeWidgetItem(view);
    // Shown in the calculator's characters; the bytes themselves are kept
    // for the requests that name the variable.
    row->setText(0, QString::fromStdString(ti92text::ToUtf8(item.caption)));
    row->setData(0, kCaptionBytesRole, QByteArray(item.caption.data(), static_cast<qsizetype>(item.caption.size())));
    for (size_t i = 0; i < item.subItems.size(); ++i)
        row->setText(static_cast<int>(i + 1), QString::fromStdString(item.subItems[i]));
    row->setData(0, Qt::UserRole, item.data);
    row->setSelected(item.selected);
}

std::vector<ListItem> WizardWindow::ListViewItems(ListViewId list) const
{
    std::vector<ListItem> items;
    QTreeWidget* view = ListView(list);
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        QTreeWidgetItem* row = view->topLevelItem(i);
        ListItem item;
        const QVariant bytes = row->data(0, kCaptionBytesRole);
        if (bytes.isValid()) {
            const QByteArray caption = bytes.toByteArray();
            item.caption.assign(caption.constData(), static_cast<size_t>(caption.size()));
        } else {
            item.caption = ti92text::FromUtf8(row->text(0).toStdString()).bytes;
        }
        for (int c = 1; c < view->columnCount(); ++c)
            item.subItems.push_back(row->text(c).toStdString());
        item.data = row->data(0, Qt::UserRole).toInt();
        item.selected = row->isSelected();
        items.push_back(std::move(item));
    }
    return items;
}

void WizardWindow::StatusMemoAdd(const std::string& line)
{
    reportMemo->appendPlainText(QString::fromStdString(line));
}

void WizardWindow::ErrorDialog(const std::string& text)
{
    // Routines report from inside their handler, so the error is at hand.
    NoteLinkFailure(std::current_exception());
    if (IsAbort(std::current_exception()))
        transferLabel->setText("Transfer aborted");
    RecordStepResult(false);
    fEnv.dialogs.MessageBox(text, "Linkwise", MsgIcon::Error, MsgButtons::Ok);
}

void WizardWindow::NoteLinkFailure(std::exception_ptr error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const ELinkError&) {
        fLinkFailedInTransfer = true;
        readyLamp->SetBrushColor(kLampRed);
    } catch (...) {
        // A refusal, an abort or a file error says nothing against the link.
    }
}
