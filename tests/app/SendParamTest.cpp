// The send task of the command line against the virtual TI-92.
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include "tests/app/AppRig.h"
#include "tests/support/TI92FileBuilder.h"

TEST(SendParam, SendsTheFileWithoutTheFilePageAndEndsWithExit)
{
    AppRig rig;
    const std::string file = rig.dir.path().toStdString() + "/Exit Game.92p";
    WriteBytes(file, VariableFileBytes("main", "game", {{"game", 0x12, std::string("\x00\x01\x02", 3)}}));
    rig.parameters = {"SEND", file, "exit"};
    rig.dialogs.ExpectMessage(MsgResult::No);  // not kept out of the temporary folder
    WizardWindow& f = rig.Create();
    f.onFirstPaint();
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_TRUE(rig.calc.FindVariable("main\\game"));
    EXPECT_TRUE(f.TerminateRequested());
    EXPECT_EQ(f.ExitStatus(), 0);
}

TEST(SendParam, AFailedTaskExitsWithOneAndKeepsTheWindowOnItsReport)
{
    struct Row {
        const char* name;
        bool withExit;
    };
    for (const Row& r : {Row{"with EXIT", true}, Row{"without EXIT", false}}) {
        SCOPED_TRACE(r.name);
        AppRig rig;
        rig.calcLink.faults.silent = true;
        const std::string file = rig.dir.path().toStdString() + "/game.92p";
        WriteBytes(file, VariableFileBytes("main", "game", {{"game", 0x12, std::string("\x00\x01\x02", 3)}}));
        rig.parameters = {"SEND", file};
        if (r.withExit)
            rig.parameters.push_back("EXIT");
        rig.dialogs.ExpectMessage(MsgResult::No);
        WizardWindow& f = rig.Create();
        f.onFirstPaint();
        ASSERT_FALSE(rig.calc.FindVariable("main\\game"));
        if (!r.withExit)
            f.onNextClicked(f.nextButton);  // the user goes on from the transfer page
        EXPECT_EQ(f.PageShown(), pageFinished);
        EXPECT_FALSE(f.TaskSucceeded());
        EXPECT_FALSE(f.TerminateRequested());
        EXPECT_EQ(f.ExitStatus(), 1);
        EXPECT_EQ(f.nextButton->text(), "&Restart");
        EXPECT_EQ(f.stepList->count(), 4) << "the overview names the Finished step";
        EXPECT_EQ(f.stepList->currentRow(), 3);
        f.onNextClicked(f.nextButton);
        EXPECT_EQ(f.PageShown(), pageMenu) << "Restart restarts";
        EXPECT_FALSE(f.TerminateRequested());
        EXPECT_EQ(f.ExitStatus(), 1) << "the command line's task failed";
    }
}

TEST(SendParam, WithoutExitTheFinishedPageShowsTheReport)
{
    AppRig rig;
    const std::string file = rig.dir.path().toStdString() + "/game.92p";
    WriteBytes(file, VariableFileBytes("main", "game", {{"game", 0x12, std::string("\x00\x01\x02", 3)}}));
    rig.parameters = {"SEND", file};
    rig.dialogs.ExpectMessage(MsgResult::No);
    WizardWindow& f = rig.Create();
    f.onFirstPaint();
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_NE(f.reportMemo->toPlainText().toStdString().find("Totally 1 of 1 selected file(s) were sent."),
              std::string::npos);
    EXPECT_FALSE(f.TerminateRequested());
}
