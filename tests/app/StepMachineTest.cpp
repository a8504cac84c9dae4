// The wizard's step machine: task lists, captions, automatic Next, transfer mode.
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/window/ReadyLampShape.h"
#include "app/window/WizardTables.h"
#include "tests/app/AppRig.h"

namespace {

std::vector<std::string> Overview(const WizardWindow& f)
{
    std::vector<std::string> items;
    for (int i = 0; i < f.stepList->count(); ++i)
        items.push_back(f.stepList->item(i)->text().toStdString());
    return items;
}

std::vector<std::string> MemoLines(const WizardWindow& f)
{
    std::vector<std::string> lines;
    for (const QString& l : f.reportMemo->toPlainText().split('\n'))
        lines.push_back(l.toStdString());
    return lines;
}

const std::vector<std::string> kHeader = {"The wizard has now completed the selected task.", " --- ", "Statusreport:"};

class StepMachine : public ::testing::Test {
protected:
    AppRig rig;
    WizardWindow& f = rig.Create();
};

}  // namespace

TEST(StepMachineStart, OpensOnTheMenuWithNothingChosen)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_EQ(f.Step(), 0);
    EXPECT_EQ(f.currentTask, taskNone);
    EXPECT_FALSE(f.nextButton->isEnabled());
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_EQ(f.readyLamp->BrushColor(), kLampGrey);
    EXPECT_EQ(f.statusLabel->text(), "(none)");
    EXPECT_EQ(f.cancelButton->text(), "E&xit!");
    EXPECT_EQ(Overview(f), std::vector<std::string>{"Choose what to do"});
    EXPECT_EQ(f.taskCaption->text(), "Linkwise will help you do something!");
    EXPECT_EQ(f.helpLine->text(), "Welcome to Linkwise! Please select what you want to do!");
    EXPECT_TRUE(f.variablesRadio->isChecked());
    EXPECT_TRUE(f.newFargoRadio->isChecked());
    EXPECT_FALSE(f.autoNextBox->isChecked());
    EXPECT_EQ(f.pageStack->count(), kPageCount);
}

struct TaskRun {
    const char* button;
    TaskKind task;
    const char* caption;
    std::vector<int> pages;
    std::vector<std::string> overview;
};

class EveryTask : public ::testing::TestWithParam<TaskRun> {};

TEST_P(EveryTask, WalksItsPagesWithCaptionsAndWrapsToTheMenu)
{
    const TaskRun& run = GetParam();
    AppRig rig;
    WizardWindow& f = rig.Create();
    // The Fargo steps talk to the calculator; FargoTaskTest runs them.
    for (int step = 2; step <= 4; ++step)
        f.SetStepAction(taskInsertFargo, step, [] {});
    auto* button = f.findChild<QToolButton*>(run.button);
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(f.currentTask, run.task);
    EXPECT_EQ(f.taskCaption->text().toStdString(), run.caption);
    EXPECT_EQ(Overview(f), run.overview);
    EXPECT_EQ(MemoLines(f), kHeader);
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_EQ(f.PageShown(), pageMenu) << "nothing moves without Autoclick";

    const int steps = static_cast<int>(run.pages.size());
    for (int step = 1; step < steps; ++step) {
        f.nextButton->click();
        EXPECT_EQ(f.Step(), step);
        EXPECT_EQ(f.PageShown(), run.pages[step]);
        EXPECT_EQ(f.stepList->currentRow(), step);
        // The transfer page's action has ended by the time the click returns.
        EXPECT_EQ(f.helpLine->text().toStdString(), run.pages[step] == pageReceiveProgress
                                                        ? "The transfer has ended. Click Next to go on."
                                                        : StepHelp(run.task, step));
        EXPECT_TRUE(f.previousButton->isEnabled());
        const char* expected = step == steps - 1 ? "&Restart" : step == steps - 2 ? "&Finish!" : "&Next";
        EXPECT_EQ(f.nextButton->text().toStdString(), expected) << "step " << step;
    }
    f.StatusMemoAdd("a result line");

    // Restart: the menu, no task, buttons up, a fresh report.
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_EQ(f.Step(), 0);
    EXPECT_EQ(f.currentTask, taskNone);
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(Overview(f), std::vector<std::string>{"Choose what to do"});
    EXPECT_EQ(MemoLines(f), kHeader);
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_EQ(f.nextButton->text(), "&Next");
    EXPECT_EQ(f.taskCaption->text().toStdString(), kNoTaskCaption) << "no task's sentence stays";
    EXPECT_EQ(f.statusLabel->text().toStdString(), kIdleStatus);

    // Next stays enabled; pressing it without a task stays on the menu.
    EXPECT_TRUE(f.nextButton->isEnabled());
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_EQ(f.Step(), 0);
}

INSTANTIATE_TEST_SUITE_P(Tasks, EveryTask,
                         ::testing::Values(TaskRun{"getButton",
                                                   taskReceiveVariables,
                                                   "Wizard is helping you receiving variable(s):",
                                                   {0, 3, 5, 6, 9},
                                                   {"Choose what to do", "Select var(s)", "Receive var(s)",
                                                    "Save received", "Finished"}},
                                           TaskRun{"sendButton",
                                                   taskSendFiles,
                                                   "Wizard is helping you sending a file:",
                                                   {0, 4, 5, 9},
                                                   {"Choose what to do", "Select file(s)", "Send file(s)", "Finish"}},
                                           TaskRun{"screenshotButton",
                                                   taskScreenshot,
                                                   "Wizard is helping you receiving a screenshot:",
                                                   {0, 1, 2, 9},
                                                   {"Choose what to do", "Grab screenshot", "Copy or Save", "Finish"}},
                                           TaskRun{"fargoButton",
                                                   taskInsertFargo,
                                                   "Wizard is helping you to insert Fargo to the calculator:",
                                                   {0, 10, 5, 5, 5, 9},
                                                   {"Choose what to do", "Choose F-Version", "Receive content",
                                                    "Send Fargobackup", "Send old content", "Finish"}}));

TEST(WizardTables, ListsEndWithin7EntriesAndEveryUsedStepHasCaptionAndHelp)
{
    for (int t = 0; t < kTaskCount; ++t) {
        const StepList& list = TaskSteps(static_cast<TaskKind>(t));
        int n = 0;
        while (n < 10 && list[n] != kEndOfSteps)
            ++n;
        EXPECT_LE(n, 7);
        for (int i = n; i < 10; ++i)
            EXPECT_EQ(list[i], kEndOfSteps);
        for (int step = 0; step < n; ++step) {
            EXPECT_FALSE(StepCaption(static_cast<TaskKind>(t), step).empty()) << t << "/" << step;
            EXPECT_FALSE(StepHelp(static_cast<TaskKind>(t), step).empty()) << t << "/" << step;
        }
        EXPECT_TRUE(TaskStepText(static_cast<TaskKind>(t), n).empty());
    }
    EXPECT_EQ(TaskSteps(taskConvertText), (StepList{0, 8, 9, 255, 255, 255, 255, 255, 255, 255}));
    EXPECT_EQ(TaskSteps(taskSendParam), TaskSteps(taskSendFiles));
    EXPECT_EQ(StepHelp(taskNone, 0), "Choose what you want to do. Then click next!");
}

TEST_F(StepMachine, PreviousGoesBackAndRefreshesThePageShown)
{
    std::vector<int> refreshed;
    f.SetBackwardRefresh(pageReceive, [&] { refreshed.push_back(pageReceive); });
    f.getButton->click();
    f.nextButton->click();
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    f.previousButton->click();
    EXPECT_EQ(f.PageShown(), pageReceive);
    EXPECT_EQ(f.Step(), 1);
    EXPECT_EQ(refreshed, std::vector<int>{pageReceive});
    EXPECT_EQ(f.stepList->currentRow(), 1);
    f.previousButton->click();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_EQ(f.currentTask, taskReceiveVariables) << "going back keeps the task";
}

TEST_F(StepMachine, StepActionsRunOnEntryByNextOnly)
{
    std::vector<std::pair<int, int>> ran;
    f.SetStepAction(taskScreenshot, 2, [&] { ran.emplace_back(taskScreenshot, 2); });
    f.screenshotButton->click();
    f.nextButton->click();
    EXPECT_TRUE(ran.empty());
    f.nextButton->click();
    EXPECT_EQ(ran.size(), 1u);
    f.previousButton->click();
    f.nextButton->click();
    EXPECT_EQ(ran.size(), 2u);
}

TEST_F(StepMachine, ClickingTheTaskButtonThatIsDownReleasesIt)
{
    f.getButton->click();
    f.convertStatusLabel->setText("busy");
    f.sendButton->click();
    EXPECT_FALSE(f.getButton->isChecked()) << "one button down at a time";
    EXPECT_EQ(f.currentTask, taskSendFiles);
    f.sendButton->click();
    EXPECT_FALSE(f.sendButton->isChecked());
    EXPECT_FALSE(f.nextButton->isEnabled());
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_EQ(f.convertStatusLabel->text(), "(idle)");
    EXPECT_EQ(f.convertHeading->text(), "No file selected");
    EXPECT_EQ(f.selectionSizeLabel->text(), "(unknown)");
    EXPECT_TRUE(f.librariesCaption->isHidden());
}

TEST_F(StepMachine, AutoNextMovesOnAfterOneSecond)
{
    f.autoNextBox->setChecked(true);
    const uint32_t before = rig.clock.Now();
    f.screenshotButton->click();
    EXPECT_EQ(f.Step(), 1);
    EXPECT_EQ(f.PageShown(), pageScreenShot);
    EXPECT_GT(rig.clock.Now() - before, 1000u);
    EXPECT_EQ(f.statusLabel->text(), "(none)");
}

TEST_F(StepMachine, StatusShowsTheWaitWhileItRuns)
{
    f.autoNextBox->setChecked(true);
    std::string seen;
    rig.pump.hook = [&] {
        if (seen.empty())
            seen = f.statusLabel->text().toStdString();
    };
    f.screenshotButton->click();
    EXPECT_EQ(seen, "Going for next page in one second.");
}

TEST_F(StepMachine, NextDuringTheWaitMovesExactlyOneStep)
{
    f.autoNextBox->setChecked(true);
    bool pressed = false;
    rig.pump.hook = [&] {
        if (!pressed && rig.pump.calls == 3) {
            pressed = true;
            f.nextButton->click();
        }
    };
    const uint32_t before = rig.clock.Now();
    f.sendButton->click();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(f.Step(), 1);
    EXPECT_EQ(f.PageShown(), pageFileSelect);
    EXPECT_LT(rig.clock.Now() - before, 1000u) << "the wait ends when the user moves";
}

TEST_F(StepMachine, ParamModeMakesTheAutomaticNextImmediate)
{
    f.screenshotButton->click();
    f.paramCommands.ParamMode = true;
    const uint32_t before = rig.clock.Now();
    f.ClickNextButton();
    EXPECT_EQ(f.Step(), 1);
    EXPECT_LT(rig.clock.Now() - before, 50u);
}

TEST_F(StepMachine, DoubleClicksMoveOnOnlyWithAutoclick)
{
    // Only the double click may move on: no receive (and its automatic Next) on step 2.
    f.SetStepAction(taskReceiveVariables, 2, {});
    f.getButton->click();
    f.nextButton->click();
    auto* row = new QTreeWidgetItem(f.calculatorList, QStringList{"main\\x", "EXPR", "10"});
    emit f.calculatorList->itemDoubleClicked(row, 0);
    EXPECT_EQ(f.Step(), 1);
    f.autoNextBox->setChecked(true);
    emit f.calculatorList->itemDoubleClicked(row, 0);
    EXPECT_EQ(f.Step(), 2);
}

TEST_F(StepMachine, NestedAutomaticNextInsideAnAction)
{
    f.autoNextBox->setChecked(true);
    int actions = 0;
    f.SetStepAction(taskReceiveVariables, 2, [&] {
        ++actions;
        f.ClickNextButton();  // a transfer that succeeded
    });
    f.getButton->click();  // moves to step 1 by itself
    ASSERT_EQ(f.Step(), 1);
    f.nextButton->click();
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(f.Step(), 3);
    EXPECT_EQ(f.PageShown(), pageReceivelocal);
    EXPECT_EQ(f.nextButton->text(), "&Finish!");
    EXPECT_EQ(f.stepList->currentRow(), 3);
}

TEST_F(StepMachine, AFailedTransferLeavesTheWizardOnItsPage)
{
    f.SetStepAction(taskSendFiles, 2, [&] {
        f.TransferMode(true);
        f.StatusMemoAdd(" An error (ELinkError) occured while sending");
        f.TransferMode(false);
    });
    f.sendButton->click();
    f.nextButton->click();
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_TRUE(f.previousButton->isEnabled());
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageFinished);
    auto lines = MemoLines(f);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], " An error (ELinkError) occured while sending");
}

TEST_F(StepMachine, GetWithTheBackupRadioStillChecked)
{
    f.getButton->click();
    f.nextButton->click();
    f.backupRadio->click();
    EXPECT_EQ(f.currentTask, taskReceiveBackup);
    EXPECT_FALSE(f.calculatorList->isEnabled());
    EXPECT_EQ(f.Step(), 1) << "the step number stays";
    EXPECT_EQ(f.stepList->currentRow(), 1);
    EXPECT_EQ(Overview(f)[1], "Select what to get");
    EXPECT_EQ(Overview(f)[3], "Save backup");

    f.previousButton->click();
    f.getButton->click();  // releases "Get!"
    f.getButton->click();  // and presses it again
    EXPECT_EQ(f.currentTask, taskReceiveVariables) << "Get! always starts the variable receive";
    EXPECT_TRUE(f.backupRadio->isChecked());
    EXPECT_FALSE(f.calculatorList->isEnabled());
    f.nextButton->click();
    f.variablesRadio->click();
    EXPECT_TRUE(f.calculatorList->isEnabled());
    EXPECT_EQ(f.currentTask, taskReceiveVariables);
    EXPECT_EQ(Overview(f)[1], "Select var(s)");
}

TEST_F(StepMachine, TransferModeSwitchesButtonsAndTheAbortFlag)
{
    f.getButton->click();
    f.nextButton->click();
    rig.link.Aborted = 1;
    f.TransferMode(true);
    EXPECT_EQ(rig.link.Aborted, 0);
    EXPECT_FALSE(f.nextButton->isEnabled());
    EXPECT_FALSE(f.previousButton->isEnabled());
    EXPECT_FALSE(f.settingsButton->isEnabled());
    EXPECT_EQ(f.cancelButton->text(), "&Abort!");
    f.cancelButton->click();
    EXPECT_EQ(rig.link.Aborted, 1) << "Abort sets the flag";
    EXPECT_FALSE(f.TerminateRequested());
    f.TransferMode(false);
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_TRUE(f.previousButton->isEnabled());
    EXPECT_TRUE(f.settingsButton->isEnabled());
    EXPECT_EQ(f.cancelButton->text(), "E&xit!");
}

TEST_F(StepMachine, ShowStatusSetsCaptionAndHintAndLetsEventsRun)
{
    const int before = rig.pump.calls;
    f.ShowStatus("Requesting directorylist");
    EXPECT_EQ(f.statusLabel->text(), "Requesting directorylist");
    EXPECT_EQ(f.statusLabel->toolTip(), "Requesting directorylist");
    EXPECT_EQ(rig.pump.calls, before + 1);
}

TEST_F(StepMachine, ExitWithTheCommandLineEndsAfterTheLastStep)
{
    f.paramCommands.Add(cmdSEND);
    f.paramCommands.Add(cmdEXIT);
    f.paramCommands.ParamMode = true;
    f.paramCommands.FileName = "/tmp/A.92P";
    std::vector<int> actions;
    f.SetStepAction(taskSendParam, 2, [&] {
        actions.push_back(2);
        f.TransferMode(true);  // a send that fails: no automatic Next
        f.TransferMode(false);
    });
    f.onFirstPaint();
    EXPECT_EQ(Overview(f), (std::vector<std::string>{"Choose what to do", "Select file(s)", "Send file(s)"}));
    EXPECT_EQ(f.Step(), 2);
    EXPECT_EQ(f.PageShown(), pageReceiveProgress) << "the file page is skipped";
    EXPECT_EQ(actions, std::vector<int>{2});
    EXPECT_TRUE(f.sendButton->isChecked());
    EXPECT_FALSE(f.TerminateRequested()) << "a failed send stays open";
    f.nextButton->click();
    EXPECT_TRUE(f.TerminateRequested());
    EXPECT_FALSE(f.firstPaintPending);
}

TEST_F(StepMachine, ConvertFromTheCommandLineEntersTheConvertStep)
{
    f.paramCommands = {};  // a start without parameters assumes SEND
    f.paramCommands.Add(cmdCONVERT);
    f.paramCommands.ParamMode = true;
    f.paramCommands.FileName = "/tmp/NOTES.TXT";
    std::string seen;
    f.SetStepAction(taskConvertText, 1, [&] {
        seen = f.convertFromEdit->text().toStdString();
        f.TransferMode(true);
        f.TransferMode(false);
    });
    f.onFirstPaint();
    EXPECT_EQ(seen, "/tmp/NOTES.TXT");
    EXPECT_EQ(f.PageShown(), pageConvertTxt);
    EXPECT_EQ(f.nextButton->text(), "&Finish!");
    f.nextButton->click();
    EXPECT_EQ(f.nextButton->text(), "&Restart");
    f.nextButton->click();
    EXPECT_FALSE(f.paramCommands.ParamMode) << "Restart leaves command-line mode";
}

TEST_F(StepMachine, PopupMenuShowsAndHidesThePanels)
{
    EXPECT_TRUE(f.helpLineAction->isChecked());
    f.onLeftPanelToggled();
    EXPECT_FALSE(f.leftPanelAction->isChecked());
    EXPECT_TRUE(f.leftPanel->isHidden());
    f.helpLineAction->trigger();
    EXPECT_FALSE(f.helpLineAction->isChecked());
    EXPECT_TRUE(f.helpStrip->isHidden());
    f.helpLineAction->trigger();
    EXPECT_TRUE(f.helpLineAction->isChecked());
    EXPECT_FALSE(f.helpStrip->isHidden());
    // The wizard still works without the overview.
    f.screenshotButton->click();
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageScreenShot);
}

TEST_F(StepMachine, HelpOpensTheInstalledPageOfTheStepShown)
{
    const std::string help = "file://" + rig.helpFolder;
    f.onHelpClicked(false);
    ASSERT_EQ(rig.shell.addresses.size(), 1u);
    EXPECT_EQ(rig.shell.addresses[0], help + "index.html#step-0");

    f.fargoButton->click();
    f.nextButton->click();
    f.onHelpClicked(true);  // F1
    EXPECT_EQ(rig.shell.addresses.back(), help + "fargo.html#step-1");
    f.whatIsFargoButton->click();
    EXPECT_EQ(rig.shell.addresses.back(), help + "fargo.html");
    EXPECT_TRUE(rig.dialogs.shown.empty()) << "no question and no message when the desktop opened them";
}

// Every job's page ships, with an anchor for each of its steps.
TEST(HelpPages, EveryTaskHasAPageWithItsSteps)
{
    for (int t = taskNone; t < kTaskCount; ++t) {
        const auto task = static_cast<TaskKind>(t);
        QFile page(QString(LINKWISE_SOURCE_DIR "/docs/help/") + TaskHelpPage(task));
        SCOPED_TRACE(page.fileName().toStdString());
        ASSERT_TRUE(page.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(page.readAll());
        for (int step = 0; step < static_cast<int>(TaskSteps(task).size()) && TaskSteps(task)[step] != kEndOfSteps;
             ++step)
            if (step > 0 || task == taskNone)
                EXPECT_TRUE(html.contains(QString("id=\"step-%1\"").arg(step))) << "step " << step;
    }
}

TEST_F(StepMachine, WhatTheDesktopCannotOpenIsShownToCopy)
{
    rig.shell.opens = false;
    f.onHelpClicked(false);
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0], "The help page could not be opened:\r\r" + rig.helpFolder +
                                             "index.html\r\rNo program on this desktop shows web pages. Open "
                                             "the file in a web browser to read it.");
    rig.helpFolder = rig.folder + "nothing/";
    WizardWindow& other = rig.Create();
    other.onHelpClicked(false);
    ASSERT_EQ(rig.dialogs.Messages().size(), 2u);
    EXPECT_EQ(rig.dialogs.Messages()[1], "The help page could not be found:\r\r" + rig.folder +
                                             "nothing/index.html\r\rLinkwise's help pages are not installed; "
                                             "install Linkwise again.");
}

// The Quillbox button is there only when the program is on PATH, and starts it.
TEST(Quillbox, ShownAndStartedOnlyWhenOnThePath)
{
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir bin;
    for (bool installed : {false, true}) {
        SCOPED_TRACE(installed);
        if (installed) {
            QFile program(bin.filePath("quillbox"));
            ASSERT_TRUE(program.open(QIODevice::WriteOnly));
            program.setPermissions(program.permissions() | QFileDevice::ExeUser);
        }
        qputenv("PATH", bin.path().toUtf8());
        AppRig rig;
        WizardWindow& f = rig.Create();
        EXPECT_EQ(f.quillboxButton->isHidden(), !installed);
        if (installed)
            f.quillboxButton->click();
        qputenv("PATH", path);
        EXPECT_EQ(rig.shell.files, installed ? std::vector<std::string>{bin.filePath("quillbox").toStdString()}
                                             : std::vector<std::string>{});
    }
}

TEST_F(StepMachine, StepCaptionsAndStatusAreReadableWhole)
{
    f.show();
    f.fargoButton->click();  // the task with the longest step list
    for (int i = 0; i < f.stepList->count(); ++i) {
        QListWidgetItem* item = f.stepList->item(i);
        const QRect room = f.stepList->visualItemRect(item);
        const QRect needed =
            f.stepList->fontMetrics().boundingRect(QRect(0, 0, room.width(), 1000), Qt::TextWordWrap, item->text());
        EXPECT_GE(room.height(), needed.height()) << item->text().toStdString();
        EXPECT_EQ(item->toolTip(), item->text());
    }
    const std::string status = "Getting 20000 bytes of data..";
    f.ShowStatus(status);
    EXPECT_GE(f.statusLabel->width(), f.statusLabel->fontMetrics().horizontalAdvance(f.statusLabel->text()));
    EXPECT_EQ(f.statusLabel->toolTip().toStdString(), status);
    EXPECT_EQ(f.statusLabel->geometry().intersected(f.settingsButton->geometry()), QRect()) << "not under Settings";
}
