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

// The window's send asks before a backup replaces the calculator's memory,
// and, when its setting says so, before a variable replaces one the
// calculator holds; No keeps what the calculator holds.
TEST(SendParam, TheWindowAsksBeforeReplacingWhatTheCalculatorHolds)
{
    struct Row {
        const char* name;
        bool backup;
        const char* askSetting;
        std::optional<MsgResult> answer;  // none: no question
        bool replaced;
    };
    for (const Row& r :
         {Row{"backup, No", true, "1", MsgResult::No, false}, Row{"backup, Yes", true, "0", MsgResult::Yes, true},
          Row{"variable, No", false, "1", MsgResult::No, false},
          Row{"variable, not asked", false, "0", std::nullopt, true}}) {
        SCOPED_TRACE(r.name);
        AppRig rig;
        rig.calc.AddVariable("main", "game", 0x12, std::string("old", 3));
        const std::string file = rig.dir.path().toStdString() + (r.backup ? "/memory.92b" : "/game.92p");
        if (r.backup) {
            VirtualTI92 other;
            other.AddVariable("main", "kernel", 0x12, "kernel");
            WriteBackupFile(file, other, "memory");
        } else {
            WriteBytes(file, VariableFileBytes("main", "game", {{"game", 0x12, std::string("new", 3)}}));
        }
        rig.Set("Settings", "Ask before replacing variables", r.askSetting);
        rig.parameters = {"SEND", file};
        rig.dialogs.ExpectMessage(MsgResult::No);  // not kept out of the temporary folder
        if (r.answer)
            rig.dialogs.ExpectMessage(*r.answer);
        rig.Create().onFirstPaint();
        EXPECT_TRUE(rig.dialogs.AllAnswered());
        const std::vector<std::string> asked = rig.dialogs.Messages();
        ASSERT_EQ(asked.size(), r.answer ? 2u : 1u);
        const std::string question = r.backup ? "Sending the memory backup memory.92b" : "The calculator already holds";
        EXPECT_TRUE(!r.answer || asked[1].rfind(question, 0) == 0) << asked.back();
        if (r.backup) {
            EXPECT_EQ(rig.calc.FindVariable("main\\kernel") != nullptr, r.replaced);
        } else {
            const SimVariable* game = rig.calc.FindVariable("main\\game");
            ASSERT_TRUE(game);
            EXPECT_NE(game->bytes.find(r.replaced ? "new" : "old"), std::string::npos);
        }
    }
}
