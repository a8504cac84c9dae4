// Group files edited on the file page: extract, rename, remove, group.
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>
#include <gtest/gtest.h>

#include "app/window/FileBrowserPanel.h"
#include "files/ByteSource.h"
#include "files/GroupFile.h"
#include "tests/app/AppRig.h"
#include "tests/support/TI92FileBuilder.h"

namespace {

std::string Names(const std::string& path)
{
    std::string names;
    for (const FileVariable& v : ReadFileVariables(path).variables)
        names += (names.empty() ? "" : " ") + v.FullName();
    return names;
}

class GroupPage : public ::testing::Test {
protected:
    std::string Prepare()
    {
        const std::string folder = files.path().toStdString();
        WriteBytes(folder + "/three.92g", VariableFileBytes("", "kept comment",
                                                            {BuiltEntry::Folder("main"),
                                                             {"a", 0x0C, "A"},
                                                             {"b", 0x0C, "BB"},
                                                             BuiltEntry::Folder("prgm"),
                                                             {"c", 0x12, "CCC"}}));
        WriteBytes(folder + "/b.92s", VariableFileBytes("main", "", {{"b", 0x0C, "other"}}));
        WriteBytes(folder + "/d.92s", VariableFileBytes("main", "", {{"d", 0x0C, "D"}}));
        rig.Set("Last", "Last directory history item #1", folder);
        return folder;
    }
    void SetUp() override
    {
        f.sendButton->click();
        f.onNextClicked(f.nextButton);
    }
    void SelectFiles(const std::vector<std::string>& names)
    {
        f.fileList->clearSelection();
        for (int i = 0; i < f.fileList->topLevelItemCount(); ++i)
            for (const std::string& name : names)
                if (f.fileList->topLevelItem(i)->text(0).toStdString() == name)
                    f.fileList->topLevelItem(i)->setSelected(true);
        f.fileBrowser->onFileListClicked();
    }
    void SelectVariables(const std::vector<int>& rows)
    {
        f.includedVariableList->clearSelection();
        for (int row : rows)
            f.includedVariableList->topLevelItem(row)->setSelected(true);
    }
    std::string P(const std::string& name) const { return folder + "/" + name; }

    QTemporaryDir files;
    AppRig rig;
    std::string folder = Prepare();
    WizardWindow& f = rig.Create();
};

}  // namespace

TEST_F(GroupPage, ExtractSavesSingleVariableFiles)
{
    SelectFiles({"three.92g"});
    ASSERT_EQ(f.includedVariableList->topLevelItemCount(), 3);
    EXPECT_EQ(f.includedVariableList->topLevelItem(2)->text(2), "5");  // size word and three bytes

    SelectVariables({1});
    rig.dialogs.ExpectFile(P("out.92s"));
    f.extractButton->click();
    EXPECT_EQ(rig.dialogs.shown.back().request.fileName, "b.92s");
    EXPECT_EQ(Names(P("out.92s")), "main\\b");
    EXPECT_EQ(ReadFileVariables(P("out.92s")).comment, "kept comment");

    // Several go into a chosen folder; files there are replaced only after a Yes.
    SelectFiles({"three.92g"});
    SelectVariables({0, 1, 2});
    rig.dialogs.ExpectFile(folder);
    rig.dialogs.ExpectMessage(MsgResult::No);
    f.extractButton->click();
    EXPECT_EQ(rig.dialogs.Messages().back(), "These files exist already: b.92s.\rReplace them?");
    EXPECT_FALSE(std::filesystem::exists(P("a.92s")));
    EXPECT_EQ(Names(P("b.92s")), "main\\b");
    EXPECT_EQ(ReadFileVariables(P("b.92s")).variables[0].data.substr(2), "other");

    SelectFiles({"three.92g"});
    SelectVariables({0, 1, 2});
    rig.dialogs.ExpectFile(folder);
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    f.extractButton->click();
    EXPECT_EQ(Names(P("a.92s")) + " " + Names(P("b.92s")) + " " + Names(P("c.92p")), "main\\a main\\b prgm\\c");
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST_F(GroupPage, RemoveAndRenameWriteTheGroupAnewAfterAQuestion)
{
    const std::string before = ReadWholeFile(P("three.92g"));
    struct Row {
        std::vector<int> rows;
        std::optional<MsgResult> answer;
        std::string message;
    };
    // Every variable, or a No, leaves the file as it was.
    for (const Row& r : {Row{{0, 1, 2},
                             std::nullopt,
                             "A group file keeps at least one variable. To remove all of "
                             "them, delete the file instead."},
                         Row{{0, 2},
                             MsgResult::No,
                             "Remove main\\a, prgm\\c from three.92g?\rThe file is written "
                             "anew without them."}}) {
        SelectFiles({"three.92g"});
        SelectVariables(r.rows);
        if (r.answer)
            rig.dialogs.ExpectMessage(*r.answer);
        f.removeFromGroupButton->click();
        EXPECT_EQ(rig.dialogs.Messages().back(), r.message);
        EXPECT_EQ(ReadWholeFile(P("three.92g")), before);
    }

    SelectFiles({"three.92g"});
    SelectVariables({1});
    rig.dialogs.ExpectInput(std::string("A"));
    f.renameVariableButton->click();
    EXPECT_EQ(rig.dialogs.Messages().back(), "The folder main already holds a variable a.");
    EXPECT_EQ(ReadWholeFile(P("three.92g")), before);

    rig.dialogs.ExpectInput(std::string("Beta"));
    f.renameVariableButton->click();
    EXPECT_EQ(Names(P("three.92g")), "main\\a main\\beta prgm\\c");
    // The panel shows the file as it is now.
    EXPECT_EQ(f.includedVariableList->topLevelItem(1)->text(0), "main\\beta");

    SelectVariables({0});
    rig.dialogs.ExpectMessage(MsgResult::Yes);
    f.removeFromGroupButton->click();
    EXPECT_EQ(Names(P("three.92g")), "main\\beta prgm\\c");
    EXPECT_EQ(ReadFileVariables(P("three.92g")).comment, "kept comment");
    EXPECT_EQ(f.includedVariableList->topLevelItemCount(), 2);
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST_F(GroupPage, GroupSelectedFilesRefusesAVariableTwoFilesHold)
{
    SelectFiles({"three.92g", "b.92s"});
    f.groupFilesButton->click();
    EXPECT_EQ(rig.dialogs.Messages().back(), "The variable main\\b is in both " + P("b.92s") + " and " +
                                                 P("three.92g") + "; a file holds it once. Nothing was written.");

    SelectFiles({"d.92s", "three.92g"});
    rig.dialogs.ExpectFile(P("all.92g"));
    rig.dialogs.ExpectCommentCancel();  // Cancel on the comment writes nothing
    f.groupFilesButton->click();
    EXPECT_FALSE(std::filesystem::exists(P("all.92g")));

    rig.dialogs.ExpectFile(P("all.92g"));
    rig.dialogs.ExpectComment("joined");
    f.groupFilesButton->click();
    EXPECT_EQ(Names(P("all.92g")), "main\\d main\\a main\\b prgm\\c");
    EXPECT_EQ(ReadFileVariables(P("all.92g")).comment, "joined");
    EXPECT_EQ(f.fileTitleLabel->text(), "File info of all.92g");
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}
