// The transfer view: what transfer routines write into the window. Names
// are calculator bytes: shown in the calculator's characters, and kept as
// bytes beside the shown text so they survive the trip through the widgets.
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTreeWidget>

#include "app/window/TForm1.h"
#include "app/window/ReadyLampShape.h"
#include "link/Dialogs.h"
#include "files/Ti92Charset.h"
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

QProgressBar* TForm1::Bar(ProgressBarId bar) const
{
    switch (bar) {
    case ProgressBarId::Variable: return varBar;
    case ProgressBarId::Total: return totBar;
    case ProgressBarId::Save: return SaveBar;
    case ProgressBarId::BackupSave: return SaveBackupBar;
    case ProgressBarId::Convert: return ConvertBar;
    }
    return varBar;
}

QLabel* TForm1::LabelWidget(LabelId label) const
{
    switch (label) {
    case LabelId::Transfer: return trLabel;
    case LabelId::VariablesHeading: return Label18;
    case LabelId::SaveStatus: return SaveStatus;
    case LabelId::BackupSaveStatus: return Label33;
    }
    return trLabel;
}

QTreeWidget* TForm1::ListView(ListViewId list) const
{
    return list == ListViewId::Calculator ? ListView1 : ListView2;
}

void TForm1::SetLabel(LabelId label, const std::string& text)
{
    LabelWidget(label)->setText(QString::fromStdString(text));
}

std::string TForm1::Label(LabelId label) const
{
    return LabelWidget(label)->text().toStdString();
}

void TForm1::SetBarMax(ProgressBarId bar, int max)
{
    QProgressBar* b = Bar(bar);
    b->setMaximum(max);
}

void TForm1::SetBarPosition(ProgressBarId bar, int position)
{
    QProgressBar* b = Bar(bar);
    // A position beyond the maximum shows as full instead of being refused.
    b->setValue(std::min(std::max(position, b->minimum()), b->maximum()));
}

int TForm1::BarMax(ProgressBarId bar) const
{
    return Bar(bar)->maximum();
}

int TForm1::BarPosition(ProgressBarId bar) const
{
    return Bar(bar)->value();
}

void TForm1::VarListClear()
{
    varList->clear();
}

void TForm1::VarListAdd(const std::string& line)
{
    varList->addItem(QString::fromStdString(ti92text::ToUtf8(line)));
}

int TForm1::VarListCount() const
{
    return varList->count();
}

void TForm1::VarListSelect(int index)
{
    if (index < 0 || index >= varList->count())
        varList->setCurrentRow(-1);
    else
        varList->setCurrentRow(index);
}

int TForm1::VarListSelected() const
{
    return varList->currentRow();
}

void TForm1::ListViewClear(ListViewId list)
{
    ListView(list)->clear();
}

void TForm1::ListViewAdd(ListViewId list, const ListItem& item)
{
    QTreeWidget* view = ListView(list);
    auto* row = new QTreeWidgetItem(view);
    // Shown in the calculator's characters; the bytes themselves are kept
    // for the requests that name the variable.
    row->setText(0, QString::fromStdString(ti92text::ToUtf8(item.caption)));
    row->setData(0, kCaptionBytesRole,
                 QByteArray(item.caption.data(), static_cast<qsizetype>(item.caption.size())));
    for (size_t i = 0; i < item.subItems.size(); ++i)
        row->setText(static_cast<int>(i + 1), QString::fromStdString(item.subItems[i]));
    row->setData(0, Qt::UserRole, item.data);
    row->setSelected(item.selected);
}

std::vector<ListItem> TForm1::ListViewItems(ListViewId list) const
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

void TForm1::StatusMemoAdd(const std::string& line)
{
    StatusMemo->appendPlainText(QString::fromStdString(line));
}

void TForm1::ErrorDialog(const std::string& text)
{
    // Routines report from inside their handler, so the error is at hand.
    NoteLinkFailure(std::current_exception());
    if (IsAbort(std::current_exception()))
        trLabel->setText("Transfer aborted");
    RecordStepResult(false);
    fEnv.dialogs.MessageBox(text, "Linkwise", MsgIcon::Error, MsgButtons::Ok);
}


void TForm1::NoteLinkFailure(std::exception_ptr error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const ELinkError&) {
        fLinkFailedInTransfer = true;
        ReadyLamp->SetBrushColor(kLampRed);
    } catch (...) {
        // A refusal, an abort or a file error says nothing against the link.
    }
}
