// The wizard's step machine: task lists, captions, automatic Next, transfer mode.
#include <QCheckBox>
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
#include "tests/app/AppRig.h"

namespace {

std::vector<std::string> Overview(const TForm1& f)
{
    std::vector<std::string> items;
    for (int i = 0; i < f.TaskListbox->count(); ++i)
        items.push_back(f.TaskListbox->item(i)->text().toStdString());
    return items;
}

std::vector<std::string> MemoLines(const TForm1& f)
{
    std::vector<std::string> lines;
    for (const QString& l : f.StatusMemo->toPlainText().split('\n'))
        lines.push_back(l.toStdString());
    return lines;
}

const std::vector<std::string> kHeader = {"The wizard has now completed the selected task.", " --- ",
                                          "Statusreport:"};

class StepMachine : public ::testing::Test {
protected:
    AppRig rig;
    TForm1& f = rig.Create();
};

}  // namespace

TEST(StepMachineStart, OpensOnTheMenuWithNothingChosen)
{
    AppRig rig;
    TForm1& f = rig.Create();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_EQ(f.Step(), 0);
    EXPECT_EQ(f.CurrentTask, taskNone);
    EXPECT_FALSE(f.NextBtn->isEnabled());
    EXPECT_FALSE(f.PreviousBtn->isEnabled());
    EXPECT_EQ(f.ReadyLamp->BrushColor(), kLampGrey);
    EXPECT_EQ(f.Statuslbl->text(), "(none)");
    EXPECT_EQ(f.CancelBtn->text(), "E&xit!");
    EXPECT_EQ(Overview(f), std::vector<std::string>{"Choose what to do"});
    EXPECT_EQ(f.TaskCaption->text(), "Linkwise will help you do something!");
    EXPECT_EQ(f.hlpLine->text(), "Welcome to Linkwise! Please select what you want to do!");
    EXPECT_TRUE(f.VarRadio->isChecked());
    EXPECT_TRUE(f.NewFargo->isChecked());
    EXPECT_FALSE(f.AutoNext->isChecked());
    EXPECT_EQ(f.PageControl1->count(), kPageCount);
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
    TForm1& f = rig.Create();
    // The Fargo steps talk to the calculator; FargoTaskTest runs them.
    for (int step = 2; step <= 4; ++step)
        f.SetStepAction(taskInsertFargo, step, [] {});
    auto* button = f.findChild<QToolButton*>(run.button);
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_TRUE(button->isChecked());
    EXPECT_EQ(f.CurrentTask, run.task);
    EXPECT_EQ(f.TaskCaption->text().toStdString(), run.caption);
    EXPECT_EQ(Overview(f), run.overview);
    EXPECT_EQ(MemoLines(f), kHeader);
    EXPECT_TRUE(f.NextBtn->isEnabled());
    EXPECT_EQ(f.PageShown(), pageMenu) << "nothing moves without Autoclick";

    const int steps = static_cast<int>(run.pages.size());
    for (int step = 1; step < steps; ++step) {
        f.NextBtn->click();
        EXPECT_EQ(f.Step(), step);
        EXPECT_EQ(f.PageShown(), run.pages[step]);
        EXPECT_EQ(f.TaskListbox->currentRow(), step);
        EXPECT_EQ(f.hlpLine->text().toStdString(), StepHelp(run.task, step));
        EXPECT_TRUE(f.PreviousBtn->isEnabled());
        const char* expected = step == steps - 1   ? "&Restart"
                               : step == steps - 2 ? "&Finish!"
                                                   : "&Next";
        EXPECT_EQ(f.NextBtn->text().toStdString(), expected) << "step " << step;
    }
    f.StatusMemoAdd("a result line");

    // Restart: the menu, no task, buttons up, a fresh report.
    f.NextBtn->click();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_EQ(f.Step(), 0);
    EXPECT_EQ(f.CurrentTask, taskNone);
    EXPECT_FALSE(button->isChecked());
    EXPECT_EQ(Overview(f), std::vector<std::string>{"Choose what to do"});
    EXPECT_EQ(MemoLines(f), kHeader);
    EXPECT_FALSE(f.PreviousBtn->isEnabled());
    EXPECT_EQ(f.NextBtn->text(), "&Next");
    EXPECT_EQ(f.TaskCaption->text().toStdString(), kNoTaskCaption) << "no task's sentence stays";
    EXPECT_EQ(f.Statuslbl->text().toStdString(), kIdleStatus);

    // Next stays enabled; pressing it without a task stays on the menu.
    EXPECT_TRUE(f.NextBtn->isEnabled());
    f.NextBtn->click();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_EQ(f.Step(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tasks, EveryTask,
    ::testing::Values(
        TaskRun{"SpeedButton3", taskReceiveVariables, "Wizard is helping you receiving variable(s):",
                {0, 3, 5, 6, 9},
                {"Choose what to do", "Select var(s)", "Receive var(s)", "Save received", "Finished"}},
        TaskRun{"SpeedButton4", taskSendFiles, "Wizard is helping you sending a file:", {0, 4, 5, 9},
                {"Choose what to do", "Select file(s)", "Send file(s)", "Finish"}},
        TaskRun{"SpeedButton1", taskScreenshot, "Wizard is helping you receiving a screenshot:",
                {0, 1, 2, 9}, {"Choose what to do", "Grab screenshot", "Copy or Save", "Finish"}},
        TaskRun{"SpeedButton5", taskInsertFargo,
                "Wizard is helping you to insert Fargo to the calculator:", {0, 10, 5, 5, 5, 9},
                {"Choose what to do", "Choose F-Version", "Receive content", "Send Fargobackup",
                 "Send old content", "Finish"}}));

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
    f.SpeedButton3->click();
    f.NextBtn->click();
    f.NextBtn->click();
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    f.PreviousBtn->click();
    EXPECT_EQ(f.PageShown(), pageReceive);
    EXPECT_EQ(f.Step(), 1);
    EXPECT_EQ(refreshed, std::vector<int>{pageReceive});
    EXPECT_EQ(f.TaskListbox->currentRow(), 1);
    f.PreviousBtn->click();
    EXPECT_EQ(f.PageShown(), pageMenu);
    EXPECT_FALSE(f.PreviousBtn->isEnabled());
    EXPECT_EQ(f.CurrentTask, taskReceiveVariables) << "going back keeps the task";
}

TEST_F(StepMachine, StepActionsRunOnEntryByNextOnly)
{
    std::vector<std::pair<int, int>> ran;
    f.SetStepAction(taskScreenshot, 2, [&] { ran.emplace_back(taskScreenshot, 2); });
    f.SpeedButton1->click();
    f.NextBtn->click();
    EXPECT_TRUE(ran.empty());
    f.NextBtn->click();
    EXPECT_EQ(ran.size(), 1u);
    f.PreviousBtn->click();
    f.NextBtn->click();
    EXPECT_EQ(ran.size(), 2u);
}

TEST_F(StepMachine, ClickingTheTaskButtonThatIsDownReleasesIt)
{
    f.SpeedButton3->click();
    f.ConvertStat->setText("busy");
    f.SpeedButton4->click();
    EXPECT_FALSE(f.SpeedButton3->isChecked()) << "one button down at a time";
    EXPECT_EQ(f.CurrentTask, taskSendFiles);
    f.SpeedButton4->click();
    EXPECT_FALSE(f.SpeedButton4->isChecked());
    EXPECT_FALSE(f.NextBtn->isEnabled());
    EXPECT_FALSE(f.PreviousBtn->isEnabled());
    EXPECT_EQ(f.ConvertStat->text(), "(idle)");
    EXPECT_EQ(f.Label21->text(), "No file selected");
    EXPECT_EQ(f.TotSize->text(), "(unknown)");
    EXPECT_TRUE(f.Label27->isHidden());
}

TEST_F(StepMachine, AutoNextMovesOnAfterOneSecond)
{
    f.AutoNext->setChecked(true);
    const uint32_t before = rig.clock.Now();
    f.SpeedButton1->click();
    EXPECT_EQ(f.Step(), 1);
    EXPECT_EQ(f.PageShown(), pageScreenShot);
    EXPECT_GT(rig.clock.Now() - before, 1000u);
    EXPECT_EQ(f.Statuslbl->text(), "(none)");
}

TEST_F(StepMachine, StatusShowsTheWaitWhileItRuns)
{
    f.AutoNext->setChecked(true);
    std::string seen;
    rig.pump.hook = [&] {
        if (seen.empty())
            seen = f.Statuslbl->text().toStdString();
    };
    f.SpeedButton1->click();
    EXPECT_EQ(seen, "Going for next page in one second.");
}

TEST_F(StepMachine, NextDuringTheWaitMovesExactlyOneStep)
{
    f.AutoNext->setChecked(true);
    bool pressed = false;
    rig.pump.hook = [&] {
        if (!pressed && rig.pump.calls == 3) {
            pressed = true;
            f.NextBtn->click();
        }
    };
    const uint32_t before = rig.clock.Now();
    f.SpeedButton4->click();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(f.Step(), 1);
    EXPECT_EQ(f.PageShown(), pageFileSelect);
    EXPECT_LT(rig.clock.Now() - before, 1000u) << "the wait ends when the user moves";
}

TEST_F(StepMachine, ParamModeMakesTheAutomaticNextImmediate)
{
    f.SpeedButton1->click();
    f.ParamCommands.ParamMode = true;
    const uint32_t before = rig.clock.Now();
    f.ClickNextButton();
    EXPECT_EQ(f.Step(), 1);
    EXPECT_LT(rig.clock.Now() - before, 50u);
}

TEST_F(StepMachine, DoubleClicksMoveOnOnlyWithAutoclick)
{
    // Only the double click may move on: no receive (and its automatic Next) on step 2.
    f.SetStepAction(taskReceiveVariables, 2, {});
    f.SpeedButton3->click();
    f.NextBtn->click();
    auto* row = new QTreeWidgetItem(f.ListView1, QStringList{"main\\x", "EXPR", "10"});
    emit f.ListView1->itemDoubleClicked(row, 0);
    EXPECT_EQ(f.Step(), 1);
    f.AutoNext->setChecked(true);
    emit f.ListView1->itemDoubleClicked(row, 0);
    EXPECT_EQ(f.Step(), 2);
}

TEST_F(StepMachine, NestedAutomaticNextInsideAnAction)
{
    f.AutoNext->setChecked(true);
    int actions = 0;
    f.SetStepAction(taskReceiveVariables, 2, [&] {
        ++actions;
        f.ClickNextButton();   // a transfer that succeeded
    });
    f.SpeedButton3->click();   // moves to step 1 by itself
    ASSERT_EQ(f.Step(), 1);
    f.NextBtn->click();
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(f.Step(), 3);
    EXPECT_EQ(f.PageShown(), pageReceivelocal);
    EXPECT_EQ(f.NextBtn->text(), "&Finish!");
    EXPECT_EQ(f.TaskListbox->currentRow(), 3);
}

TEST_F(StepMachine, AFailedTransferLeavesTheWizardOnItsPage)
{
    f.SetStepAction(taskSendFiles, 2, [&] {
        f.TransferMode(true);
        f.StatusMemoAdd(" An error (ELinkError) occured while sending");
        f.TransferMode(false);
    });
    f.SpeedButton4->click();
    f.NextBtn->click();
    f.NextBtn->click();
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    EXPECT_TRUE(f.NextBtn->isEnabled());
    EXPECT_TRUE(f.PreviousBtn->isEnabled());
    f.NextBtn->click();
    EXPECT_EQ(f.PageShown(), pageFinished);
    auto lines = MemoLines(f);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[3], " An error (ELinkError) occured while sending");
}

TEST_F(StepMachine, GetWithTheBackupRadioStillChecked)
{
    f.SpeedButton3->click();
    f.NextBtn->click();
    f.BackupRadio->click();
    EXPECT_EQ(f.CurrentTask, taskReceiveBackup);
    EXPECT_FALSE(f.ListView1->isEnabled());
    EXPECT_EQ(f.Step(), 1) << "the step number stays";
    EXPECT_EQ(f.TaskListbox->currentRow(), 1);
    EXPECT_EQ(Overview(f)[1], "Select what to get");
    EXPECT_EQ(Overview(f)[3], "Save backup");

    f.PreviousBtn->click();
    f.SpeedButton3->click();   // releases "Get!"
    f.SpeedButton3->click();   // and presses it again
    EXPECT_EQ(f.CurrentTask, taskReceiveVariables) << "Get! always starts the variable receive";
    EXPECT_TRUE(f.BackupRadio->isChecked());
    EXPECT_FALSE(f.ListView1->isEnabled());
    f.NextBtn->click();
    f.VarRadio->click();
    EXPECT_TRUE(f.ListView1->isEnabled());
    EXPECT_EQ(f.CurrentTask, taskReceiveVariables);
    EXPECT_EQ(Overview(f)[1], "Select var(s)");
}

TEST_F(StepMachine, TransferModeSwitchesButtonsAndTheAbortFlag)
{
    f.SpeedButton3->click();
    f.NextBtn->click();
    rig.link.Aborted = 1;
    f.TransferMode(true);
    EXPECT_EQ(rig.link.Aborted, 0);
    EXPECT_FALSE(f.NextBtn->isEnabled());
    EXPECT_FALSE(f.PreviousBtn->isEnabled());
    EXPECT_FALSE(f.BitBtn6->isEnabled());
    EXPECT_EQ(f.CancelBtn->text(), "&Abort!");
    f.CancelBtn->click();
    EXPECT_EQ(rig.link.Aborted, 1) << "Abort sets the flag";
    EXPECT_FALSE(f.TerminateRequested());
    f.TransferMode(false);
    EXPECT_TRUE(f.NextBtn->isEnabled());
    EXPECT_TRUE(f.PreviousBtn->isEnabled());
    EXPECT_TRUE(f.BitBtn6->isEnabled());
    EXPECT_EQ(f.CancelBtn->text(), "E&xit!");
}

TEST_F(StepMachine, ShowStatusSetsCaptionAndHintAndLetsEventsRun)
{
    const int before = rig.pump.calls;
    f.ShowStatus("Requesting directorylist");
    EXPECT_EQ(f.Statuslbl->text(), "Requesting directorylist");
    EXPECT_EQ(f.Statuslbl->toolTip(), "Requesting directorylist");
    EXPECT_EQ(rig.pump.calls, before + 1);
}

TEST_F(StepMachine, ExitWithTheCommandLineEndsAfterTheLastStep)
{
    f.ParamCommands.Add(cmdSEND);
    f.ParamCommands.Add(cmdEXIT);
    f.ParamCommands.ParamMode = true;
    f.ParamCommands.FileName = "/tmp/A.92P";
    std::vector<int> actions;
    f.SetStepAction(taskSendParam, 2, [&] {
        actions.push_back(2);
        f.TransferMode(true);   // a send that fails: no automatic Next
        f.TransferMode(false);
    });
    f.FormFirstPaint();
    EXPECT_EQ(Overview(f), (std::vector<std::string>{"Choose what to do", "Select file(s)",
                                                     "Send file(s)"}));
    EXPECT_EQ(f.Step(), 2);
    EXPECT_EQ(f.PageShown(), pageReceiveProgress) << "the file page is skipped";
    EXPECT_EQ(actions, std::vector<int>{2});
    EXPECT_TRUE(f.SpeedButton4->isChecked());
    EXPECT_FALSE(f.TerminateRequested()) << "a failed send stays open";
    f.NextBtn->click();
    EXPECT_TRUE(f.TerminateRequested());
    EXPECT_FALSE(f.FirstPaint);
}

TEST_F(StepMachine, ConvertFromTheCommandLineEntersTheConvertStep)
{
    f.ParamCommands = {};   // a start without parameters assumes SEND
    f.ParamCommands.Add(cmdCONVERT);
    f.ParamCommands.ParamMode = true;
    f.ParamCommands.FileName = "/tmp/NOTES.TXT";
    std::string seen;
    f.SetStepAction(taskConvertText, 1, [&] {
        seen = f.ConvertFile->text().toStdString();
        f.TransferMode(true);
        f.TransferMode(false);
    });
    f.FormFirstPaint();
    EXPECT_EQ(seen, "/tmp/NOTES.TXT");
    EXPECT_EQ(f.PageShown(), pageConvertTxt);
    EXPECT_EQ(f.NextBtn->text(), "&Finish!");
    f.NextBtn->click();
    EXPECT_EQ(f.NextBtn->text(), "&Restart");
    f.NextBtn->click();
    EXPECT_FALSE(f.ParamCommands.ParamMode) << "Restart leaves command-line mode";
}

TEST_F(StepMachine, PopupMenuShowsAndHidesThePanels)
{
    EXPECT_TRUE(f.TopMenu->isChecked());
    f.LeftMenuClick();
    EXPECT_FALSE(f.LeftMenu->isChecked());
    EXPECT_TRUE(f.Panel1->isHidden());
    f.TopMenu->trigger();
    EXPECT_FALSE(f.TopMenu->isChecked());
    EXPECT_TRUE(f.Panel16->isHidden());
    f.TopMenu->trigger();
    EXPECT_TRUE(f.TopMenu->isChecked());
    EXPECT_FALSE(f.Panel16->isHidden());
    // The wizard still works without the overview.
    f.SpeedButton1->click();
    f.NextBtn->click();
    EXPECT_EQ(f.PageShown(), pageScreenShot);
}

TEST_F(StepMachine, HelpOffersThePageOfTheStepShown)
{
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    f.HelpClick(false);
    ASSERT_EQ(rig.shell.addresses.size(), 1u);
    EXPECT_EQ(rig.shell.addresses[0], "https://linkwise.example/help/0");
    EXPECT_EQ(rig.dialogs.shown.back().icon, MsgIcon::Information);
    EXPECT_EQ(rig.dialogs.shown.back().text,
              "You will be led to the online help-pages. Do you want to continue?");

    f.SpeedButton5->click();
    f.NextBtn->click();
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    f.HelpClick(true);   // F1
    EXPECT_EQ(rig.shell.addresses.back(), "https://linkwise.example/help/10");
    EXPECT_EQ(rig.dialogs.shown.back().icon, MsgIcon::Question);

    rig.dialogs.ExpectMessage(MsgResult::No);
    f.hlpImage->click();
    EXPECT_EQ(rig.shell.addresses.size(), 2u);

    f.WhatIsFargoBtn->click();
    EXPECT_EQ(rig.shell.addresses.back(), "https://linkwise.example/fargo/");
    f.QuillboxBtn->click();
    EXPECT_EQ(rig.shell.files, std::vector<std::string>{rig.folder + "quillbox"});
    EXPECT_EQ(rig.dialogs.shown.size(), 3u) << "no message when the desktop opened them";
}

TEST_F(StepMachine, WhatTheDesktopCannotOpenIsShownToCopy)
{
    rig.shell.opens = false;
    f.WhatIsFargoBtn->click();
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_NE(rig.dialogs.Messages()[0].find("\rhttps://linkwise.example/fargo/\r"), std::string::npos);
    f.QuillboxBtn->click();
    ASSERT_EQ(rig.dialogs.Messages().size(), 2u);
    EXPECT_EQ(rig.dialogs.Messages()[1],
              "The file could not be opened:\r\r" + rig.folder + "quillbox\r\rThere is no such file.");
    EXPECT_EQ(rig.dialogs.shown.back().icon, MsgIcon::Warning);
}

TEST_F(StepMachine, StepCaptionsAndStatusAreReadableWhole)
{
    f.show();
    f.SpeedButton5->click();   // the task with the longest step list
    for (int i = 0; i < f.TaskListbox->count(); ++i) {
        QListWidgetItem* item = f.TaskListbox->item(i);
        const QRect room = f.TaskListbox->visualItemRect(item);
        const QRect needed = f.TaskListbox->fontMetrics().boundingRect(QRect(0, 0, room.width(), 1000),
                                                                      Qt::TextWordWrap, item->text());
        EXPECT_GE(room.height(), needed.height()) << item->text().toStdString();
        EXPECT_EQ(item->toolTip(), item->text());
    }
    const std::string status = "Getting 20000 bytes of data..";
    f.ShowStatus(status);
    EXPECT_GE(f.Statuslbl->width(), f.Statuslbl->fontMetrics().horizontalAdvance(f.Statuslbl->text()));
    EXPECT_EQ(f.Statuslbl->toolTip().toStdString(), status);
    EXPECT_EQ(f.Statuslbl->geometry().intersected(f.BitBtn6->geometry()), QRect()) << "not under Settings";
}
