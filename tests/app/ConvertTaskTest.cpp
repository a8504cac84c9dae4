// The convert task in the window, from the command line.
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

#include "tests/app/AppRig.h"

namespace fs = std::filesystem;

namespace {

struct ConvertRig : AppRig {
    std::string source = dir.path().toStdString() + "/My Notes.txt";
    ConvertRig() { std::ofstream(source, std::ios::binary) << "Hi\r\nthere"; }
    std::string Memo() const { return form->reportMemo->toPlainText().toStdString(); }
};

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

TEST(ConvertTask, WithAnExistingTargetAsksAndReplacesOnlyAfterYes)
{
    for (const MsgResult answer : {MsgResult::Yes, MsgResult::No}) {
        SCOPED_TRACE(answer == MsgResult::Yes ? "Yes" : "No");
        ConvertRig rig;
        const std::string target = rig.dir.path().toStdString() + "/Notes.92t";
        std::ofstream(target) << "old";
        rig.parameters = {"convert", rig.source, target, "exit"};
        rig.dialogs.ExpectMessage(answer);
        WizardWindow& f = rig.Create();
        f.onFirstPaint();
        f.convertCommentEdit->setText("My comment");
        f.convertButton->click();
        EXPECT_TRUE(rig.dialogs.AllAnswered());
        EXPECT_NE(rig.dialogs.Messages().at(0).find("Notes.92t already exists."), std::string::npos);
        if (answer == MsgResult::Yes) {
            EXPECT_NE(Bytes(target).find("My comment"), std::string::npos);
            EXPECT_NE(Bytes(target).find("Hi\r there"), std::string::npos);
            EXPECT_TRUE(f.TerminateRequested());
        } else {
            EXPECT_EQ(Bytes(target), "old");
            EXPECT_FALSE(f.TaskSucceeded());
        }
    }
}

// The comment is taken from the page, proposed as the dialog proposes it;
// nothing is written before Convert.
TEST(ConvertTask, TheCommentOfThePageGoesIntoTheFile)
{
    struct Row {
        QString typed;
        std::string stored;  // the file's 40 comment bytes, up to the first zero
        const char* note;    // in the report
    };
    for (const Row& row : {Row{"From the page", "From the page", nullptr}, Row{"", "", nullptr},
                           Row{QString(40, 'x'), std::string(34, 'x'), nullptr},
                           Row{QString::fromUtf8("5 \u20AC"), "5 ?", "in the comment, 1 character"}}) {
        SCOPED_TRACE(row.stored);
        ConvertRig rig;
        const std::string target = rig.dir.path().toStdString() + "/Notes.92t";
        rig.parameters = {"convert", rig.source, target};
        rig.dialogs.ExpectFile(target);
        WizardWindow& f = rig.Create();
        f.onFirstPaint();
        EXPECT_EQ(f.PageShown(), pageConvertTxt);
        EXPECT_EQ(f.convertCommentEdit->text().left(11), "File dated ");
        EXPECT_FALSE(f.nextButton->isEnabled());
        EXPECT_FALSE(fs::exists(target));
        f.convertCommentEdit->setText(row.typed);
        f.convertButton->click();
        EXPECT_TRUE(rig.dialogs.AllAnswered());
        EXPECT_EQ(Bytes(target).substr(18, 40).c_str(), row.stored);
        EXPECT_EQ(rig.Memo().find(row.note ? row.note : "Note:") != std::string::npos, row.note != nullptr)
            << rig.Memo();
        EXPECT_EQ(f.PageShown(), pageFinished);
    }
}

TEST(ConvertTask, WithoutATargetAsksForOneAndCancelConvertsNothing)
{
    ConvertRig rig;
    rig.parameters = {"CONVERT", rig.source};
    rig.dialogs.ExpectFile(std::nullopt);
    WizardWindow& f = rig.Create();
    f.onFirstPaint();
    ASSERT_EQ(rig.dialogs.shown.size(), 1u);
    const FileDialogRequest& d = rig.dialogs.shown[0].request;
    EXPECT_EQ(d.defaultExtension, "92t");
    EXPECT_EQ(d.initialDir, rig.dir.path().toStdString());
    EXPECT_EQ(f.PageShown(), pageConvertTxt);
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_EQ(rig.Memo().find("converted"), std::string::npos);
    EXPECT_FALSE(f.TerminateRequested());
}

TEST(ConvertTask, WithoutATargetConvertsToTheChosenFileAndShowsTheReport)
{
    ConvertRig rig;
    rig.parameters = {"CONVERT", rig.source};
    const std::string chosen = rig.dir.path().toStdString() + "/Chosen.92t";
    rig.dialogs.ExpectFile(chosen);
    WizardWindow& f = rig.Create();
    f.onFirstPaint();
    f.convertButton->click();
    EXPECT_EQ(f.convertToEdit->text().toStdString(), chosen);
    EXPECT_TRUE(fs::exists(chosen));
    EXPECT_EQ(f.PageShown(), pageFinished) << "the conversion moves on by itself";
    EXPECT_NE(rig.Memo().find("My Notes.txt was successfully converted to Chosen.92t."), std::string::npos);
}

// A conversion that writes no file fails the task: the Finished page with
// its report, and exit status 1, with or without EXIT.
TEST(ConvertTask, AFailedConversionFailsTheCommandLineTask)
{
    for (const bool withExit : {true, false}) {
        SCOPED_TRACE(withExit ? "with EXIT" : "without EXIT");
        AppRig rig;
        const std::string source = rig.dir.path().toStdString() + "/2024.txt";  // gives no variable name
        std::ofstream(source) << "x";
        const std::string target = rig.dir.path().toStdString() + "/out.92t";
        rig.parameters = {"CONVERT", source, target};
        if (withExit)
            rig.parameters.push_back("EXIT");
        rig.dialogs.ExpectFile(target);
        WizardWindow& f = rig.Create();
        f.onFirstPaint();
        f.convertButton->click();
        EXPECT_FALSE(fs::exists(target));
        EXPECT_FALSE(f.TaskSucceeded());
        if (!withExit) {
            ASSERT_TRUE(f.nextButton->isEnabled());
            f.nextButton->click();  // the user goes on from the convert page
        }
        EXPECT_EQ(f.PageShown(), pageFinished);
        EXPECT_FALSE(f.TerminateRequested());
        EXPECT_EQ(f.ExitStatus(), 1);
        EXPECT_NE(f.reportMemo->toPlainText().toStdString().find("No TI-92 variable name can be made"),
                  std::string::npos);
    }
}
