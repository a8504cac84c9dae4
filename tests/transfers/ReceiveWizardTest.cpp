// The receive task on the wizard window: "Get!", the listing, the receive of
// the selected rows, "&Save to file", Previous and "&Update".
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/window/ReadyLampShape.h"
#include "files/SaveAs92g.h"
#include "tests/app/AppRig.h"
#include "tests/support/RecordingTransferView.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Captions(QTreeWidget* list)
{
    std::vector<std::string> names;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        names.push_back(list->topLevelItem(i)->text(0).toStdString());
    return names;
}

struct ReceiveWizard : ::testing::Test {
    AppRig rig;
    WizardWindow& f = rig.Create();

    void Select(const std::vector<std::string>& names)
    {
        for (int i = 0; i < f.calculatorList->topLevelItemCount(); ++i) {
            auto* row = f.calculatorList->topLevelItem(i);
            row->setSelected(std::find(names.begin(), names.end(), row->text(0).toStdString()) != names.end());
        }
    }

    // The file the save page must write when the store holds exactly these
    // variables of the calculator.
    std::string Expected(const std::vector<std::string>& names, const std::string& comment)
    {
        QTemporaryDir dir;
        TempStore store(dir.path().toStdString());
        store.Clear();
        for (const auto& n : names)
            if (const SimVariable* v = rig.calc.FindVariable(n))
                store.AddItem(n, v->type, v->bytes);
        RecordingTransferView view;
        const std::string path = dir.path().toStdString() + "/expected";
        EXPECT_TRUE(SaveAs92g(view, store, true, path, false, false, comment));
        return ReadFile(path);
    }
};

}  // namespace

TEST_F(ReceiveWizard, GetToSavedGroupFileWithAutomaticNext)
{
    f.autoNextBox->setChecked(true);
    f.getButton->click();  // "Get!": the automatic Next enters the selection page
    ASSERT_EQ(f.PageShown(), pageReceive);
    ASSERT_EQ(static_cast<size_t>(f.calculatorList->topLevelItemCount()), rig.calc.VariableCount());
    EXPECT_EQ(f.calculatorList->topLevelItem(0)->text(0).toStdString(), "main\\notes");
    EXPECT_EQ(f.calculatorList->topLevelItem(0)->text(1).toStdString(), "text");

    const std::vector<std::string> chosen = {"main\\notes", "main\\x", "math\\quad"};
    Select(chosen);
    f.nextButton->click();  // receives, then moves on by itself to the save page
    EXPECT_EQ(f.PageShown(), pageReceivelocal);
    EXPECT_EQ(Captions(f.receivedList), chosen);
    EXPECT_EQ(f.variableList->count(), 3);
    EXPECT_EQ(f.transferLabel->text().toStdString(), "Transfer completed.. (#3)");

    const std::string target = rig.dir.path().toStdString() + "/three.92g";
    // The comment is on the page, dated like the proposal of the dialog; no dialog asks.
    EXPECT_EQ(f.saveCommentEdit->text().toStdString().rfind("File dated ", 0), 0u);
    EXPECT_EQ(f.saveCommentEdit->maxLength(), 34);
    f.saveCommentEdit->setText("three of them");
    rig.dialogs.ExpectFile(target);
    f.saveToFileButton->click();
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_EQ(rig.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_EQ(ReadFile(target), Expected(chosen, "three of them"));
    const std::string report = f.reportMemo->toPlainText().toStdString();
    EXPECT_NE(report.find("3 of 3 item(s) were received."), std::string::npos);
    EXPECT_NE(report.find("The received variable(s) was saved into \"three.92g\"."), std::string::npos);
    EXPECT_TRUE(f.TaskSucceeded());
}

TEST_F(ReceiveWizard, DuringTheTransferOnlyAbortActs)
{
    f.getButton->click();
    f.nextButton->click();
    Select({"main\\notes", "main\\x"});
    int tries = 0;
    rig.pump.hook = [&] {
        if (!f.InTransfer() || tries++)
            return;
        QTest::mouseClick(f.readyLamp, Qt::LeftButton);
        for (QAbstractButton* b :
             std::initializer_list<QAbstractButton*>{f.aboutButton, f.remoteButton, f.quillboxButton, f.settingsButton,
                                                     f.helpButton, f.updateListButton, f.getButton})
            b->click();
        f.onHelpClicked(true);  // F1
        emit f.calculatorList->itemDoubleClicked(f.calculatorList->topLevelItem(0), 0);
        EXPECT_TRUE(f.cancelButton->isEnabled());
    };
    bool remote = false;
    f.onRemoteControl = [&] { remote = true; };
    const size_t requestsBefore = rig.calcLink.Received().size();
    f.nextButton->click();
    rig.pump.hook = nullptr;
    EXPECT_EQ(tries > 0, true);
    EXPECT_EQ(Captions(f.receivedList), (std::vector<std::string>{"main\\notes", "main\\x"}));
    EXPECT_TRUE(rig.modalShown.empty());
    EXPECT_TRUE(rig.dialogs.shown.empty());
    EXPECT_TRUE(rig.shell.files.empty() && rig.shell.addresses.empty());
    EXPECT_FALSE(remote);
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    EXPECT_GT(rig.calcLink.Received().size(), requestsBefore);
    EXPECT_TRUE(f.aboutButton->isEnabled() && f.readyLamp->isEnabled() && f.updateListButton->isEnabled());
}

TEST_F(ReceiveWizard, SingleVariableProposesItsOwnFileType)
{
    f.getButton->click();
    f.nextButton->click();
    Select({"main\\notes"});
    f.nextButton->click();  // Autoclick off: the wizard stays on the transfer page
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    f.nextButton->click();
    ASSERT_EQ(f.PageShown(), pageReceivelocal);

    const std::string target = rig.dir.path().toStdString() + "/notes.92t";
    rig.dialogs.ExpectFile(target);
    f.saveCommentEdit->clear();
    f.saveToFileButton->click();
    ASSERT_GE(rig.dialogs.shown.size(), 1u);
    const FileDialogRequest& request = rig.dialogs.shown[0].request;
    EXPECT_EQ(request.fileName, "notes.92t");
    EXPECT_EQ(request.defaultExtension, "92t");
    EXPECT_EQ(ReadFile(target), Expected({"main\\notes"}, ""));
}

TEST_F(ReceiveWizard, UpdateAndPreviousReadTheCalculatorAgain)
{
    f.getButton->click();
    f.nextButton->click();
    const size_t before = static_cast<size_t>(f.calculatorList->topLevelItemCount());

    rig.calc.AddVariable("main", "fresh", 0x00, "1");
    f.updateListButton->click();  // "&Update"
    EXPECT_EQ(static_cast<size_t>(f.calculatorList->topLevelItemCount()), before + 1);

    Select({"main\\fresh"});
    f.nextButton->click();
    ASSERT_EQ(f.PageShown(), pageReceiveProgress);
    rig.calc.AddVariable("main", "newer", 0x00, "2");
    f.previousButton->click();
    EXPECT_EQ(f.PageShown(), pageReceive);
    EXPECT_EQ(static_cast<size_t>(f.calculatorList->topLevelItemCount()), before + 2);
}

TEST_F(ReceiveWizard, FailedReceiveStaysWithNavigationEnabled)
{
    f.autoNextBox->setChecked(true);
    f.getButton->click();
    Select({"main\\notes", "main\\x"});
    rig.calcLink.faults.refuseRequests = {2};
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    EXPECT_TRUE(f.nextButton->isEnabled());
    EXPECT_TRUE(f.previousButton->isEnabled());
    EXPECT_EQ(Captions(f.receivedList), std::vector<std::string>{"main\\notes"});
    EXPECT_NE(f.reportMemo->toPlainText().toStdString().find("1 of 2 item(s) were received."), std::string::npos);
    f.nextButton->click();
    rig.dialogs.ExpectMessage(MsgResult::Discard);  // the one received, not saved
    f.nextButton->click();
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_FALSE(f.TaskSucceeded()) << "the Finished page shows the failure picture";
    EXPECT_EQ(f.outcomeImage->toolTip().toStdString(), "Something went wrong: read the status report");
    f.nextButton->click();  // "&Restart"
    EXPECT_TRUE(f.TaskSucceeded());
}
