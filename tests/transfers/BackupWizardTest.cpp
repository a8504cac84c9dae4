// The memory-backup task on the wizard window: receive, save, Finished.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <gtest/gtest.h>

#include "files/ByteSource.h"
#include "files/EntryTable.h"
#include "files/FileFormat.h"
#include "tests/app/AppRig.h"

namespace {

struct BackupWizard : ::testing::Test {
    AppRig rig;
    TForm1& f = rig.Create();
    std::string target = rig.dir.path().toStdString() + "/calc.92b";

    // "Get!", the backup choice, Next: the backup is received and, with
    // the automatic Next, the save step follows at once.
    void RunTask()
    {
        f.AutoNext->setChecked(true);
        f.SpeedButton3->click();
        f.BackupRadio->click();
        f.NextBtn->click();
    }
    std::string Report() { return f.StatusMemo->toPlainText().toStdString(); }
};

}  // namespace

TEST_F(BackupWizard, BackupIsReceivedSavedAndFinished)
{
    rig.dialogs.ExpectFile(target);
    rig.dialogs.ExpectComment("before the update");
    RunTask();
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_EQ(f.PageShown(), pageFinished);
    ASSERT_EQ(f.varList->count(), 1);
    EXPECT_EQ(f.varList->item(0)->text().toStdString(), "memory-backup");
    const FileDialogRequest& request = rig.dialogs.shown.at(0).request;
    EXPECT_EQ(request.defaultExtension, "92b");
    EXPECT_EQ(request.initialDir, f.ComboBox1->itemText(0).toStdString());

    const DiskBytes file(target);
    EXPECT_EQ(ShapeOf(file), FileShape::Backup);
    EXPECT_EQ(ReadBackupImage(file), rig.calc.MemoryImage());
    EXPECT_EQ(ReadBytesAt(file, ti92::kCommentOffset, 17), "before the update");
    EXPECT_NE(Report().find("The received variable(s) was saved into \"calc.92b\"."), std::string::npos);
    EXPECT_TRUE(f.TaskSucceeded());
}

TEST_F(BackupWizard, CancelledOrFailedBackupIsNotShownAsDone)
{
    rig.dialogs.ExpectFile(std::nullopt);
    RunTask();
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_NE(Report().find("The memory-backup was not saved."), std::string::npos);
    EXPECT_FALSE(f.TaskSucceeded());

    f.NextBtn->click();   // "&Restart"
    rig.calcLink.faults.damageBackupBlock = 2;
    RunTask();
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    EXPECT_EQ(rig.dialogs.Messages().size(), 1u);
    f.NextBtn->click();   // on to the save step: nothing to save, no dialog
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_NE(Report().find("There is no memory-backup to save."), std::string::npos);
    EXPECT_FALSE(f.TaskSucceeded());
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}
