// The send task of the command line against the virtual TI-92.
#include <QPlainTextEdit>
#include <gtest/gtest.h>

#include "tests/app/AppRig.h"
#include "tests/support/TI92FileBuilder.h"

TEST(SendParam, SendsTheFileWithoutTheFilePageAndEndsWithExit)
{
    AppRig rig;
    const std::string file = rig.dir.path().toStdString() + "/Exit Game.92p";
    WriteBytes(file, VariableFileBytes("main", "game", {{"game", 0x12, std::string("\x00\x01\x02", 3)}}));
    rig.parameters = {"SEND", file};   // EXIT comes with the file's name
    rig.dialogs.ExpectMessage(MsgResult::No);   // not kept out of the temporary folder
    TForm1& f = rig.Create();
    f.FormFirstPaint();
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_TRUE(rig.calc.FindVariable("main\\game"));
    EXPECT_TRUE(f.TerminateRequested());
}

TEST(SendParam, WithoutExitTheFinishedPageShowsTheReport)
{
    AppRig rig;
    const std::string file = rig.dir.path().toStdString() + "/game.92p";
    WriteBytes(file, VariableFileBytes("main", "game", {{"game", 0x12, std::string("\x00\x01\x02", 3)}}));
    rig.parameters = {"SEND", file};
    rig.dialogs.ExpectMessage(MsgResult::No);
    TForm1& f = rig.Create();
    f.FormFirstPaint();
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_NE(f.StatusMemo->toPlainText().toStdString().find("Totally 1 of 1 selected file(s) were sent."),
              std::string::npos);
    EXPECT_FALSE(f.TerminateRequested());
}
