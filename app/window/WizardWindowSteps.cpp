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
#include "app/window/WizardWindow.h"
#include "link/Clock.h"
#include "link/EventPump.h"
#include "link/Ti92Link.h"

namespace {
constexpr uint32_t kAutoNextWait = 1000;
constexpr uint32_t kAutoNextSlice = 10;
constexpr const char* kSendCaption = "Wizard is helping you sending a file:";
}  // namespace

int WizardWindow::Step() const
{
    return pageStack->currentStep;
}
void WizardWindow::SetStep(int step)
{
    pageStack->currentStep = step;
}
int WizardWindow::PageShown() const
{
    return pageStack->currentIndex();
}

uint8_t WizardWindow::StepAt(int index) const
{
    return index >= 0 && index < static_cast<int>(stepPages.size()) ? stepPages[index] : kEndOfSteps;
}

void WizardWindow::ShowStatus(const std::string& text)
{
    statusLabel->SetFullText(QString::fromStdString(text));
    ProcessMessages();
}

void WizardWindow::ProcessMessages()
{
    fEnv.pump.ProcessMessages();
}

void WizardWindow::TransferMode(bool on)
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
            readyLamp->SetBrushColor(kLampGreen);
        UnlockAfterTransfer();
    }
    nextButton->setEnabled(!on);
    previousButton->setEnabled(!on);
    settingsButton->setEnabled(!on);
    cancelButton->setText(on ? "&Abort!" : "E&xit!");
}

void WizardWindow::LockForTransfer()
{
    // Every control that could start a conversation or open a window; a
    // modal loop or a ready check inside a running transfer breaks it.
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == cancelButton || w == nextButton || w == previousButton || w == settingsButton ||
            w->testAttribute(Qt::WA_Disabled))
            continue;
        if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || w == readyLamp) {
            w->setEnabled(false);
            fLockedControls.emplace_back(w);
        }
    }
}

void WizardWindow::UnlockAfterTransfer()
{
    for (const QPointer<QWidget>& w : fLockedControls)
        if (w)
            w->setEnabled(true);
    fLockedControls.clear();
}

void WizardWindow::RecordStepResult(bool succeeded)
{
    if (!succeeded) {
        fTaskFailed = true;
        if (paramCommands.ParamMode)
            fCommandLineTaskFailed = true;
        ShowTaskOutcome();
    }
}

void WizardWindow::ShowTaskOutcome()
{
    outcomeImage->setPixmap(SvgPicture(fTaskFailed ? "failed" : "finished", 80, 80));
    outcomeImage->setToolTip(fTaskFailed ? "Something went wrong: read the status report" : "The task was completed");
}

void WizardWindow::ResetPages()
{
    ResetTransferPage();
    saveStatusLabel->setText("(idle)");
    saveProgress->setValue(0);
    backupSaveProgress->setValue(0);
    convertProgress->setValue(0);
    convertStatusLabel->setText("(idle)");
    convertFromEdit->clear();
    convertToEdit->clear();
    convertCommentEdit->clear();
    convertButton->setEnabled(false);
    selectionSizeLabel->setText("(unknown)");
    librariesGroup->hide();
    librariesEdit->hide();
    librariesCaption->hide();
    includedVariableList->clear();
    commentMemo->clear();
    convertHeading->setText("No file selected");
    fileKindLabel->setText("-");
    nextButton->setEnabled(false);
    previousButton->setEnabled(false);
}

void WizardWindow::FillTaskOverview()
{
    stepList->clear();
    for (int step = 0; step < 10 && stepPages[step] != kEndOfSteps; ++step) {
        const QString caption = QString::fromStdString(StepCaption(currentTask, step));
        stepList->addItem(caption);
        stepList->item(stepList->count() - 1)->setToolTip(caption);
    }
}

void WizardWindow::PrepareTask()
{
    FillTaskOverview();
    stepList->setCurrentRow(0);
    reportMemo->clear();
    reportMemo->appendPlainText("The wizard has now completed the selected task.");
    reportMemo->appendPlainText(" --- ");
    reportMemo->appendPlainText("Statusreport:");
    fTaskFailed = false;
    ShowTaskOutcome();
}

void WizardWindow::onTaskButtonClicked(QToolButton* button)
{
    // At most one task button is down; a click on the one that is down releases it.
    if (button->isChecked())
        for (QToolButton* other : {getButton, sendButton, screenshotButton, fargoButton})
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
        {screenshotButton, "Wizard is helping you receiving a screenshot:", taskScreenshot},
        {getButton, "Wizard is helping you receiving variable(s):", taskReceiveVariables},
        {sendButton, kSendCaption, taskSendFiles},
        {fargoButton, "Wizard is helping you to insert Fargo to the calculator:", taskInsertFargo},
    };
    for (const Choice& c : choices) {
        if (c.button != button)
            continue;
        taskCaption->setText(c.caption);
        stepPages = TaskSteps(c.task);
        currentTask = c.task;
    }
    PrepareTask();
    nextButton->setEnabled(true);
    ClickNextButton();
}

void WizardWindow::onReceiveChoiceClicked()
{
    const bool variables = variablesRadio->isChecked();
    calculatorList->setEnabled(variables);
    currentTask = variables ? taskReceiveVariables : taskReceiveBackup;
    stepPages = TaskSteps(currentTask);
    PrepareTask();
    stepList->setCurrentRow(1);
}

void WizardWindow::SelectNextVisPage(bool forward)
{
    int step = Step() + (forward ? 1 : -1);
    if (step < 0 || StepAt(step) == kEndOfSteps)
        step = 0;
    SetStep(step);
    pageStack->setCurrentIndex(stepPages[step]);
    previousButton->setEnabled(pageStack->currentIndex() != pageMenu);
}

void WizardWindow::ShowStepHelp()
{
    helpLine->setText(QString::fromStdString(StepHelp(currentTask, Step()).substr(0, 255)));
    stepList->setCurrentRow(Step());
}

void WizardWindow::ReturnToMenu()
{
    paramCommands.ParamMode = false;
    for (QToolButton* b : {getButton, sendButton, screenshotButton, fargoButton})
        b->setChecked(false);
    stepPages[0] = pageMenu;
    stepPages[1] = kEndOfSteps;
    currentTask = taskNone;
    taskCaption->setText(kNoTaskCaption);
    statusLabel->SetFullText(kIdleStatus);
    PrepareTask();
}

void WizardWindow::ResetTransferPage()
{
    transferLabel->setText("Transfer has not started yet..");
    variableProgress->setValue(0);
    totalProgress->setValue(0);
    variableList->clear();
}

void WizardWindow::KeepFailedCommandLineTaskOpen()
{
    // The task's own steps come back, with the Finished page that EXIT left
    // out; without ParamMode, Restart restarts instead of ending the program.
    stepPages = TaskSteps(currentTask);
    paramCommands.ParamMode = false;
    FillTaskOverview();
    stepList->setCurrentRow(Step());
}

void WizardWindow::onNextClicked(QObject* Sender)
{
    auto* button = qobject_cast<QAbstractButton*>(Sender);
    const bool back = button && button->text() == "&Previous";
    // Finish on the save page: received variables are not left unsaved unasked.
    if (!back && !paramCommands.ParamMode && pageStack->currentIndex() == pageReceivelocal && confirmLeaveReceived &&
        !confirmLeaveReceived(false))
        return;
    if (hideViewers)
        hideViewers();
    if (paramCommands.ParamMode && paramCommands.Has(cmdEXIT) && StepAt(Step() + 1) == kEndOfSteps) {
        if (TaskSucceeded())
            RequestTerminate();
        else
            KeepFailedCommandLineTaskOpen();
    }

    int page;
    if (!back) {
        SelectNextVisPage(true);
        ShowStepHelp();
        // What the last page's routine wrote belongs to that page.
        statusLabel->SetFullText(kIdleStatus);
        if (pageStack->currentIndex() == pageReceiveProgress)
            ResetTransferPage();
        ProcessMessages();
        const int actionStep = Step();
        RunStepAction(currentTask, Step());
        // The transfer page's "Please wait" no longer holds once its action is done.
        if (Step() == actionStep && pageStack->currentIndex() == pageReceiveProgress)
            helpLine->setText("The transfer has ended. Click Next to go on.");
        if (paramCommands.ParamMode && paramCommands.Has(cmdEXIT) && !TaskSucceeded() &&
            StepAt(Step() + 1) == kEndOfSteps && pageStack->currentIndex() != pageMenu) {
            KeepFailedCommandLineTaskOpen();
            SelectNextVisPage(true);
            ShowStepHelp();
        }
        // An action may already have moved on through a nested automatic Next.
        page = pageStack->currentIndex();
        if (page == pageMenu)
            ReturnToMenu();
    } else {
        SelectNextVisPage(false);
        ShowStepHelp();
        RunBackwardRefresh(pageStack->currentIndex());
        page = pageStack->currentIndex();
    }
    nextButton->setText(StepAt(Step() + 2) == kEndOfSteps ? "&Finish!" : "&Next");
    if (StepAt(Step() + 1) == kEndOfSteps && page > pageMenu)
        nextButton->setText("&Restart");
}

void WizardWindow::ClickNextButton()
{
    const int remembered = pageStack->currentIndex();
    if (!autoNextBox->isChecked() && !paramCommands.ParamMode)
        return;
    ShowStatus("Going for next page in one second.");
    const uint32_t start = fEnv.clock.GetTickCount();
    for (;;) {
        ProcessMessages();
        if (paramCommands.ParamMode || pageStack->currentIndex() != remembered ||
            fEnv.clock.GetTickCount() - start > kAutoNextWait)
            break;
        fEnv.clock.Sleep(kAutoNextSlice);
    }
    ShowStatus("(none)");
    if (pageStack->currentIndex() == remembered)
        onNextClicked(nextButton);
}

void WizardWindow::StartGivenFilesSend(bool exitAfter)
{
    for (QToolButton* b : {getButton, screenshotButton, fargoButton})
        b->setChecked(false);
    sendButton->setChecked(true);
    taskCaption->setText(kSendCaption);
    currentTask = taskSendParam;
    stepPages = TaskSteps(taskSendParam);
    if (exitAfter)
        stepPages[3] = kEndOfSteps;
    PrepareTask();
    SetStep(1);
    onNextClicked(this);
}

void WizardWindow::onFirstPaint()
{
    if (paramCommands.ParamMode && paramCommands.Has(cmdSEND))
        StartGivenFilesSend(paramCommands.Has(cmdEXIT));
    if (paramCommands.ParamMode && paramCommands.Has(cmdCONVERT)) {
        convertFromEdit->setText(QString::fromStdString(paramCommands.FileName));
        convertToEdit->setText(QString::fromStdString(paramCommands.SecondFileName));
        currentTask = taskConvertText;
        stepPages = TaskSteps(taskConvertText);
        if (paramCommands.Has(cmdEXIT))
            stepPages[2] = kEndOfSteps;
        PrepareTask();
        onNextClicked(this);
    }
    stepList->setToolTip("This is a taskoverview!\nWhen you have completed these steps, the "
                         "task is finished!\nThe current step is selected");
    firstPaintPending = false;
}
