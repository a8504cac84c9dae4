// The wizard's step machine: tasks, steps, automatic Next, transfer mode.
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>

#include "app/window/ReadyLampShape.h"
#include "app/window/SvgPicture.h"
#include "app/window/TForm1.h"
#include "link/Clock.h"
#include "link/EventPump.h"
#include "link/Ti92Link.h"

namespace {
constexpr uint32_t kAutoNextWait = 1000;
constexpr uint32_t kAutoNextSlice = 10;
constexpr const char* kSendCaption = "Wizard is helping you sending a file:";
}  // namespace

int TForm1::Step() const { return PageControl1->Tag; }
void TForm1::SetStep(int step) { PageControl1->Tag = step; }
int TForm1::PageShown() const { return PageControl1->currentIndex(); }

uint8_t TForm1::StepAt(int index) const
{
    return index >= 0 && index < static_cast<int>(StepPages.size()) ? StepPages[index] : kEndOfSteps;
}

void TForm1::ShowStatus(const std::string& text)
{
    Statuslbl->SetFullText(QString::fromStdString(text));
    ProcessMessages();
}

void TForm1::ProcessMessages()
{
    fEnv.pump.ProcessMessages();
}

void TForm1::TransferMode(bool on)
{
    if (on) {
        fEnv.link.Aborted = 0;
        if (fTransferDepth == 0) {
            // The lamp shows how this conversation ends.
            fLinkFailedInTransfer = false;
            fEnv.link.LastReply = {};
        }
        if (!fBusyCursor)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        fBusyCursor = true;
        ++fTransferDepth;
        LockForTransfer();
    } else {
        // A routine nested in another (a save inside a task, one file of a
        // list) must not hand the window back while the outer one runs.
        if (fTransferDepth > 0 && --fTransferDepth > 0)
            return;
        if (fBusyCursor) {
            QGuiApplication::restoreOverrideCursor();
            fBusyCursor = false;
        }
        if (!fLinkFailedInTransfer && fEnv.link.LastReply.answered)
            ReadyLamp->SetBrushColor(kLampGreen);
        UnlockAfterTransfer();
    }
    NextBtn->setEnabled(!on);
    PreviousBtn->setEnabled(!on);
    BitBtn6->setEnabled(!on);
    CancelBtn->setText(on ? "&Abort!" : "E&xit!");
}

void TForm1::LockForTransfer()
{
    // Every control that could start a conversation or open a window; a
    // modal loop or a ready check inside a running transfer breaks it.
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == CancelBtn || w == NextBtn || w == PreviousBtn || w == BitBtn6 ||
            w->testAttribute(Qt::WA_Disabled))
            continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || w == ReadyLamp) {
            w->setEnabled(false);
            fLockedControls.emplace_back(w);
        }
    }
}

void TForm1::UnlockAfterTransfer()
{
    for (const QPointer<QWidget>& w : fLockedControls)
        if (w)
            w->setEnabled(true);
    fLockedControls.clear();
}

void TForm1::RecordStepResult(bool succeeded)
{
    if (!succeeded) {
        fTaskFailed = true;
        if (ParamCommands.ParamMode)
            fCommandLineTaskFailed = true;
        ShowTaskOutcome();
    }
}

void TForm1::ShowTaskOutcome()
{
    FinishedImage->setPixmap(SvgPicture(fTaskFailed ? "failed" : "finished", 80, 80));
    FinishedImage->setToolTip(fTaskFailed ? "Something went wrong: read the status report"
                                          : "The task was completed");
}

void TForm1::ResetPages()
{
    ResetTransferPage();
    SaveStatus->setText("(idle)");
    SaveBar->setValue(0);
    SaveBackupBar->setValue(0);
    ConvertBar->setValue(0);
    ConvertStat->setText("(idle)");
    ConvertFile->clear();
    ConvertTo->clear();
    TotSize->setText("(unknown)");
    Bevel3->hide();
    Edit1->hide();
    Label27->hide();
    IncVarList->clear();
    Memo1->clear();
    Label21->setText("No file selected");
    Label26->setText("-");
    NextBtn->setEnabled(false);
    PreviousBtn->setEnabled(false);
}

void TForm1::FillTaskOverview()
{
    TaskListbox->clear();
    for (int step = 0; step < 10 && StepPages[step] != kEndOfSteps; ++step) {
        const QString caption = QString::fromStdString(StepCaption(CurrentTask, step));
        TaskListbox->addItem(caption);
        TaskListbox->item(TaskListbox->count() - 1)->setToolTip(caption);
    }
}

void TForm1::PrepareTask()
{
    FillTaskOverview();
    TaskListbox->setCurrentRow(0);
    StatusMemo->clear();
    StatusMemo->appendPlainText("The wizard has now completed the selected task.");
    StatusMemo->appendPlainText(" --- ");
    StatusMemo->appendPlainText("Statusreport:");
    fTaskFailed = false;
    ShowTaskOutcome();
}

void TForm1::TaskButtonClick(QToolButton* button)
{
    // At most one task button is down; a click on the one that is down releases it.
    if (button->isChecked())
        for (QToolButton* other : {SpeedButton3, SpeedButton4, SpeedButton1, SpeedButton5})
            if (other != button)
                other->setChecked(false);
    ResetPages();
    if (!button->isChecked())
        return;
    struct Choice {
        QToolButton* button;
        const char* caption;
        TaskKind task;
    };
    const Choice choices[] = {
        {SpeedButton1, "Wizard is helping you receiving a screenshot:", taskScreenshot},
        {SpeedButton3, "Wizard is helping you receiving variable(s):", taskReceiveVariables},
        {SpeedButton4, kSendCaption, taskSendFiles},
        {SpeedButton5, "Wizard is helping you to insert Fargo to the calculator:", taskInsertFargo},
    };
    for (const Choice& c : choices) {
        if (c.button != button)
            continue;
        TaskCaption->setText(c.caption);
        StepPages = TaskSteps(c.task);
        CurrentTask = c.task;
    }
    PrepareTask();
    NextBtn->setEnabled(true);
    ClickNextButton();
}

void TForm1::ReceiveRadioClick()
{
    const bool variables = VarRadio->isChecked();
    ListView1->setEnabled(variables);
    CurrentTask = variables ? taskReceiveVariables : taskReceiveBackup;
    StepPages = TaskSteps(CurrentTask);
    PrepareTask();
    TaskListbox->setCurrentRow(1);
}

void TForm1::SelectNextVisPage(bool forward)
{
    int step = Step() + (forward ? 1 : -1);
    if (step < 0 || StepAt(step) == kEndOfSteps)
        step = 0;
    SetStep(step);
    PageControl1->setCurrentIndex(StepPages[step]);
    PreviousBtn->setEnabled(PageControl1->currentIndex() != pageMenu);
}

void TForm1::ShowStepHelp()
{
    hlpLine->setText(QString::fromStdString(StepHelp(CurrentTask, Step()).substr(0, 255)));
    TaskListbox->setCurrentRow(Step());
}

void TForm1::ReturnToMenu()
{
    ParamCommands.ParamMode = false;
    for (QToolButton* b : {SpeedButton3, SpeedButton4, SpeedButton1, SpeedButton5})
        b->setChecked(false);
    StepPages[0] = pageMenu;
    StepPages[1] = kEndOfSteps;
    CurrentTask = taskNone;
    TaskCaption->setText(kNoTaskCaption);
    Statuslbl->SetFullText(kIdleStatus);
    PrepareTask();
}

void TForm1::ResetTransferPage()
{
    trLabel->setText("Transfer has not started yet..");
    varBar->setValue(0);
    totBar->setValue(0);
    varList->clear();
}

void TForm1::KeepFailedCommandLineTaskOpen()
{
    // The task's own steps come back, with the Finished page that EXIT left
    // out; without ParamMode, Restart restarts instead of ending the program.
    StepPages = TaskSteps(CurrentTask);
    ParamCommands.ParamMode = false;
    FillTaskOverview();
    TaskListbox->setCurrentRow(Step());
}

void TForm1::NextBtnClick(QObject* Sender)
{
    if (HideViewers)
        HideViewers();
    if (ParamCommands.ParamMode && ParamCommands.Has(cmdEXIT) && StepAt(Step() + 1) == kEndOfSteps) {
        if (TaskSucceeded())
            RequestTerminate();
        else
            KeepFailedCommandLineTaskOpen();
    }

    auto* button = qobject_cast<QAbstractButton*>(Sender);
    const bool back = button && button->text() == "&Previous";
    int page;
    if (!back) {
        SelectNextVisPage(true);
        ShowStepHelp();
        // What the last page's routine wrote belongs to that page.
        Statuslbl->SetFullText(kIdleStatus);
        if (PageControl1->currentIndex() == pageReceiveProgress)
            ResetTransferPage();
        ProcessMessages();
        RunStepAction(CurrentTask, Step());
        if (ParamCommands.ParamMode && ParamCommands.Has(cmdEXIT) && !TaskSucceeded() &&
            StepAt(Step() + 1) == kEndOfSteps && PageControl1->currentIndex() != pageMenu) {
            KeepFailedCommandLineTaskOpen();
            SelectNextVisPage(true);
            ShowStepHelp();
        }
        // An action may already have moved on through a nested automatic Next.
        page = PageControl1->currentIndex();
        if (page == pageMenu)
            ReturnToMenu();
    } else {
        SelectNextVisPage(false);
        ShowStepHelp();
        RunBackwardRefresh(PageControl1->currentIndex());
        page = PageControl1->currentIndex();
    }
    NextBtn->setText(StepAt(Step() + 2) == kEndOfSteps ? "&Finish!" : "&Next");
    if (StepAt(Step() + 1) == kEndOfSteps && page > pageMenu)
        NextBtn->setText("&Restart");
}

void TForm1::ClickNextButton()
{
    const int remembered = PageControl1->currentIndex();
    if (!AutoNext->isChecked() && !ParamCommands.ParamMode)
        return;
    ShowStatus("Going for next page in one second.");
    const uint32_t start = fEnv.clock.GetTickCount();
    for (;;) {
        ProcessMessages();
        if (ParamCommands.ParamMode || PageControl1->currentIndex() != remembered ||
            fEnv.clock.GetTickCount() - start > kAutoNextWait)
            break;
        fEnv.clock.Sleep(kAutoNextSlice);
    }
    ShowStatus("(none)");
    if (PageControl1->currentIndex() == remembered)
        NextBtnClick(NextBtn);
}

void TForm1::FormFirstPaint()
{
    if (Settings.CheckRegistry && OnFirstPaintCheck)
        OnFirstPaintCheck();
    if (ParamCommands.ParamMode && ParamCommands.Has(cmdSEND)) {
        SpeedButton4->setChecked(true);
        TaskCaption->setText(kSendCaption);
        CurrentTask = taskSendParam;
        StepPages = TaskSteps(taskSendParam);
        if (ParamCommands.Has(cmdEXIT))
            StepPages[3] = kEndOfSteps;
        PrepareTask();
        SetStep(1);
        NextBtnClick(this);
    }
    if (ParamCommands.ParamMode && ParamCommands.Has(cmdCONVERT)) {
        ConvertFile->setText(QString::fromStdString(ParamCommands.FileName));
        ConvertTo->setText(QString::fromStdString(ParamCommands.SecondFileName));
        CurrentTask = taskConvertText;
        StepPages = TaskSteps(taskConvertText);
        if (ParamCommands.Has(cmdEXIT))
            StepPages[2] = kEndOfSteps;
        PrepareTask();
        NextBtnClick(this);
    }
    TaskListbox->setToolTip("This is a taskoverview!\nWhen you have completed these steps, the "
                            "task is finished!\nThe current step is selected");
    FirstPaint = false;
}
