// The memory-backup task on the wizard window: receive, save, Finished.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
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
    WizardWindow& f = rig.Create();
    std::string target = rig.dir.path().toStdString() + "/calc.92b";

    // "Get!", the backup choice, Next: the backup is received and, with
    // the automatic Next, the save step follows at once.
    // The backup's comment is typed beside the choice.
    void RunTask(const char* comment = nullptr)
    {
        f.autoNextBox->setChecked(true);
        f.getButton->click();
        f.backupRadio->click();
        if (comment)
            f.backupCommentEdit->setText(comment);
        f.nextButton->click();
    }
    std::string Report() { return f.reportMemo->toPlainText().toStdString(); }
};

}  // namespace

TEST_F(BackupWizard, BackupIsReceivedSavedAndFinished)
{
    EXPECT_FALSE(f.backupCommentEdit->isEnabled());
    rig.dialogs.ExpectFile(target);
    RunTask("before the update");
    EXPECT_TRUE(rig.dialogs.AllAnswered());
    EXPECT_EQ(rig.dialogs.shown.size(), 1u);  // the file name only: no comment dialog
    EXPECT_EQ(f.PageShown(), pageFinished);
    ASSERT_EQ(f.variableList->count(), 1);
    EXPECT_EQ(f.variableList->item(0)->text().toStdString(), "memory-backup");
    const FileDialogRequest& request = rig.dialogs.shown.at(0).request;
    EXPECT_EQ(request.defaultExtension, "92b");
    EXPECT_EQ(request.initialDir, f.folderBox->itemText(0).toStdString());

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

    f.nextButton->click();  // "&Restart"
    rig.calcLink.faults.damageBackupBlock = 2;
    RunTask();
    EXPECT_EQ(f.PageShown(), pageReceiveProgress);
    EXPECT_EQ(rig.dialogs.Messages().size(), 1u);
    f.nextButton->click();  // on to the save step: nothing to save, no dialog
    EXPECT_EQ(f.PageShown(), pageFinished);
    EXPECT_NE(Report().find("There is no memory-backup to save."), std::string::npos);
    EXPECT_FALSE(f.TaskSucceeded());
    EXPECT_TRUE(rig.dialogs.AllAnswered());
}

TEST_F(BackupWizard, CommentFieldGoesWithTheBackupChoice)
{
    f.getButton->click();
    f.backupRadio->click();
    EXPECT_TRUE(f.backupCommentEdit->isEnabled());
    EXPECT_EQ(f.backupCommentEdit->text().toStdString().rfind("File dated ", 0), 0u);
    f.backupCommentEdit->setText("mine");
    f.backupCommentEdit->setModified(true);
    f.variablesRadio->click();
    EXPECT_FALSE(f.backupCommentEdit->isEnabled());
    f.backupRadio->click();
    EXPECT_EQ(f.backupCommentEdit->text().toStdString(), "mine");  // what the user typed stays
}
