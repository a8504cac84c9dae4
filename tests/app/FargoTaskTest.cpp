// The Fargo installation task on the window against the virtual TI-92.
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "app/window/FargoSteps.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/PacketCommands.h"
#include "tests/app/AppRig.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/TI92FileBuilder.h"

namespace fs = std::filesystem;

namespace {

const std::string kInstalled =
    "You have now got Fargo on your calculator!\rIf the screen is black, raise the contrast by "
    "pressing <romb> + \"-\".\r\rTips!\rGo to https://linkwise.example/2_1/\rto get a standardpack of "
    "files needed to run Fargo.\rDo you want to go there now?";

struct FargoScene {
    AppRig rig;
    std::string root = rig.dir.path().toStdString() + "/";
    std::string lib1 = root + "lib1/";
    std::string lib2 = root + "lib2/";

    FargoScene()
    {
        rig.calc.romVersion = "2.1";
        fs::create_directories(lib1);
        fs::create_directories(lib2);
        rig.Set("Settings", "Fargo1 Librarydir", lib1);
        rig.Set("Settings", "Fargo2 Librarydir", lib2);
    }
    // A preinstalled backup: the memory of a calculator holding the kernel.
    void WriteBackup(const std::string& path)
    {
        VirtualTI92 fargoCalc;
        fargoCalc.romVersion = "2.1";
        fargoCalc.AddVariable("main", "kernel", 0x12, "fargo kernel");
        WriteBackupFile(path, fargoCalc, "Fargo II");
    }
    WizardWindow& Start(bool newFargo = true)
    {
        WizardWindow& f = rig.Create();
        f.autoNextBox->setChecked(true);
        f.fargoButton->click();  // "Fargo!": the version page after the automatic Next
        (newFargo ? f.newFargoRadio : f.oldFargoRadio)->setChecked(true);
        return f;
    }
    std::string Report() { return rig.form->reportMemo->toPlainText().toStdString(); }
};

struct FargoTask : ::testing::Test, FargoScene {};

}  // namespace

TEST(FargoNames, BackupNameFromRomVersionAndChoice)
{
    EXPECT_EQ(FargoBackupName(true, "2.1"), "fargo2-2_1.92b");
    EXPECT_EQ(FargoBackupName(false, "2.1"), "fargo1-2_1.92b");
    EXPECT_EQ(FargoBackupName(true, "1.12"), "fargo2-1_12.92b");
}

TEST_F(FargoTask, InstallsTheBackupAndRestoresTheContentWithoutAStandardPack)
{
    WriteBackup(lib2 + "fargo2-2_1.92b");
    const size_t before = rig.calc.VariableCount();
    ASSERT_GT(before, 0u);
    rig.dialogs.ExpectMessage(MsgResult::Yes);  // go to the information page
    WizardWindow& f = Start();
    ASSERT_EQ(f.PageShown(), pageFargoVer);
    f.nextButton->click();
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_EQ(rig.dialogs.Messages().back(), kInstalled);
    EXPECT_TRUE(rig.calc.FindVariable("main\\kernel")) << "the backup was installed";
    EXPECT_EQ(rig.calc.VariableCount(), before + 1) << "the old content came back";
    EXPECT_TRUE(fs::exists(rig.folder + "content.92g"));
    EXPECT_EQ(rig.shell.addresses, std::vector<std::string>{"https://linkwise.example/2_1/"});
    EXPECT_TRUE(f.TerminateRequested()) << "with the graph-link cable the program ends";
}

TEST_F(FargoTask, OffersTheStandardPackBesideTheBackupAndTakesTheUsersDataFolderFirst)
{
    WriteBackup(root + "fargo1-2_1.92b");  // the user's data folder
    WriteBackup(lib1 + "fargo1-2_1.92b");
    WriteBytes(root + "fargo1-standardpack.92g",
               VariableFileBytes("main", "pack", {{"util", 0x12, Fargo1LibraryData()}}));
    rig.dialogs.ExpectMessage(MsgResult::Yes);  // send the standard pack
    WizardWindow& f = Start(false);
    f.nextButton->click();
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_EQ(rig.dialogs.Messages().back(), "Do you want to send some necessary files to? (Standardpack)");
    EXPECT_TRUE(rig.calc.FindVariable("main\\util"));
    EXPECT_FALSE(f.TerminateRequested());
}

TEST_F(FargoTask, MissingBackupNamesTheFileAndReceivesNothing)
{
    WriteBackup(lib1 + "fargo1-2_1.92b");  // the other version is no substitute
    rig.dialogs.ExpectMessage(MsgResult::No);
    WizardWindow& f = Start();
    f.nextButton->click();
    ASSERT_EQ(rig.dialogs.Messages().size(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0],
              "A preinstalled Fargo2-backup for your ROM (v2.1) could not be found.\rYou need the file: "
              "\"fargo2-2_1.92b\" for your calculator.\r\rPlease go to https://linkwise.example/2_1/ to get "
              "the file!\rDo you want to go there now?");
    EXPECT_EQ(f.Step(), 2);
    EXPECT_FALSE(fs::exists(rig.folder + "content.92g"));
    EXPECT_TRUE(rig.shell.addresses.empty());
    EXPECT_FALSE(f.TaskSucceeded());
}

// A step that did not complete stops the steps after it: the calculator keeps
// its variables, nothing of an earlier run is sent, Fargo is not announced.
TEST_F(FargoTask, AFailedStepNeitherWipesTheCalculatorNorClaimsFargo)
{
    const std::string notSent = "The Fargo backup was not sent: it replaces every variable on the calculator, and "
                                "the calculator's content was not saved in this run (\"Receive content\" did not "
                                "complete).\rGo back to the version page and start again.";
    const std::string notInstalled = "Fargo was not installed: the Fargo backup was not sent in this run.";
    struct Row {
        const char* name;
        std::function<void(SimFaults&)> fault;
        std::string refusal;  // the message of the step that refuses
    };
    for (const Row& row : {Row{"requests refused", [](SimFaults& f) { f.refuseAllRequests = true; }, notSent},
                           Row{"ROM version not read", [](SimFaults& f) { f.refuseReady = true; }, notSent},
                           Row{"backup refused", [](SimFaults& f) { f.refuseBackupBlock = 1; }, notInstalled}}) {
        SCOPED_TRACE(row.name);
        FargoScene t;
        t.WriteBackup(t.lib2 + "fargo2-2_1.92b");
        // An earlier run's content, which must never come back.
        WriteBytes(t.root + "content.92g",
                   VariableFileBytes("main", "", {{"stale", 0x0C, std::string("\0old\0\x2D", 6)}}));
        const size_t before = t.rig.calc.VariableCount();
        row.fault(t.rig.calcLink.faults);
        // This run's content goes back over the same variables without a question.
        t.rig.Set("Settings", "Ask before replacing variables", "0");
        WizardWindow& f = t.Start();
        for (int click = 0; click < 3 && f.PageShown() != pageFinished; ++click)
            f.nextButton->click();
        EXPECT_TRUE(t.rig.dialogs.AllAnswered());
        const auto messages = t.rig.dialogs.Messages();
        EXPECT_NE(std::find(messages.begin(), messages.end(), row.refusal), messages.end());
        EXPECT_EQ(std::find(messages.begin(), messages.end(), kInstalled), messages.end());
        EXPECT_FALSE(t.rig.calc.FindVariable("main\\kernel"));
        EXPECT_FALSE(t.rig.calc.FindVariable("main\\stale"));
        EXPECT_EQ(t.rig.calc.VariableCount(), before);
        EXPECT_FALSE(f.TaskSucceeded());
        EXPECT_FALSE(f.TerminateRequested());
    }
}

// A second run in the same window starts afresh: after a run whose backup
// was refused, a run whose content cannot be received sends neither the
// backup nor the first run's content.
TEST_F(FargoTask, ASecondRunKeepsNothingOfTheFirst)
{
    WriteBackup(lib2 + "fargo2-2_1.92b");
    rig.Set("Settings", "Ask before replacing variables", "0");
    rig.calcLink.faults.refuseBackupBlock = 1;
    WizardWindow& f = Start();
    for (int click = 0; click < 3 && f.PageShown() != pageFinished; ++click)
        f.nextButton->click();
    ASSERT_EQ(f.PageShown(), pageFinished);
    ASSERT_TRUE(fs::exists(rig.folder + "content.92g")) << "the first run saved the content";
    f.nextButton->click();  // Restart
    ASSERT_EQ(f.PageShown(), pageMenu);

    rig.calcLink.faults.refuseBackupBlock = 0;
    rig.calcLink.faults.refuseAllRequests = true;
    rig.calc.Clear();
    rig.calc.AddVariable("main", "fresh", 0x12, "kept");
    const size_t shownBefore = rig.dialogs.Messages().size();
    f.fargoButton->click();
    for (int click = 0; click < 3 && f.PageShown() != pageFinished; ++click)
        f.nextButton->click();
    const auto messages = rig.dialogs.Messages();
    EXPECT_NE(std::find(messages.begin() + static_cast<long>(shownBefore), messages.end(),
                        "The Fargo backup was not sent: it replaces every variable on the calculator, and the "
                        "calculator's content was not saved in this run (\"Receive content\" did not "
                        "complete).\rGo back to the version page and start again."),
              messages.end());
    EXPECT_FALSE(rig.calc.FindVariable("main\\kernel")) << "the backup was not sent";
    EXPECT_TRUE(rig.calc.FindVariable("main\\fresh"));
    EXPECT_EQ(rig.calc.VariableCount(), 1u) << "the first run's content did not come back";
    EXPECT_FALSE(f.TaskSucceeded());
}
