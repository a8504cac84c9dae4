// The settings dialog, the filter dialog and the directory picker.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <QMenu>
#include <QToolButton>

#include "app/dialogs/FileFilterDialog.h"
#include "app/dialogs/QtDialogs.h"
#include "app/settings/SettingsDialog.h"
#include "tests/app/AppRig.h"

namespace {

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

}  // namespace

TEST(settingsDialog, PortListFollowsTheCableAndKeepsTheIndex)
{
    ScriptedDialogs dialogs;
    RecordingShell shell;
    SettingsDialog form(dialogs, shell);
    SettingsRecord s;
    s.CableType = 1;
    s.Port = 2;
    form.Fill(s);
    // Stored cable values 0..3 in this order.
    EXPECT_EQ(Items(form.cableList), (QStringList{"Parallel cable", "Grey serial cable (TI-GRAPH LINK)",
                                                  "Black serial cable", "USB cable (silver)"}));
    EXPECT_EQ(form.cableList->currentIndex(), 1);
    EXPECT_EQ(Items(form.portList), (QStringList{"COM Port 1", "COM Port 2", "COM Port 3", "COM Port 4"}));
    EXPECT_EQ(form.portList->currentIndex(), 2);
    EXPECT_TRUE(form.portDeviceEdit->isEnabled());
    EXPECT_EQ(form.portDeviceEdit->placeholderText(), "/dev/ttyS2");
    // The devices present are offered; picking one fills the field.
    ASSERT_TRUE(form.pickDeviceButton->isEnabled());
    form.FillDeviceMenu();
    const auto offered = form.pickDeviceButton->menu()->actions();
    ASSERT_FALSE(offered.isEmpty());
    if (offered[0]->isEnabled()) {
        offered[0]->trigger();
        EXPECT_EQ(form.portDeviceEdit->text(), offered[0]->text().section("  (", 0, 0));
    }
    form.cableList->setCurrentIndex(0);
    EXPECT_EQ(Items(form.portList), (QStringList{"LPT Port 1", "LPT Port 2", "LPT Port 3", "LPT Port 4"}));
    EXPECT_EQ(form.portList->currentIndex(), 2);
    EXPECT_FALSE(form.portDeviceEdit->isEnabled());
    EXPECT_FALSE(form.pickDeviceButton->isEnabled());
    EXPECT_EQ(form.portDeviceEdit->text(), "/dev/parport2");
}

TEST(settingsDialog, OkEndsFolderFieldsWithASlashButLeavesEmptyOnesEmpty)
{
    ScriptedDialogs dialogs;
    RecordingShell shell;
    SettingsDialog form(dialogs, shell);
    form.Fill(SettingsRecord{});
    form.library1Edit->setText("");
    form.library2Edit->setText("/home/u/Fargo2");
    form.onOkClicked();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Lib1Text(), "");
    EXPECT_EQ(form.Lib2Text(), "/home/u/Fargo2/");
    form.library2Edit->setText("/already/");
    form.onOkClicked();
    EXPECT_EQ(form.Lib2Text(), "/already/");
}

TEST(settingsDialog, BrowseUsesTheDirectoryPicker)
{
    ScriptedDialogs dialogs;
    RecordingShell shell;
    SettingsDialog form(dialogs, shell);
    form.library1Edit->setText("/start/here/");
    dialogs.ExpectFile(std::string("/chosen/dir"));
    form.browse1Button->click();
    EXPECT_EQ(form.library1Edit->text(), "/chosen/dir");
    EXPECT_EQ(dialogs.shown.back().request.initialDir, "/start/here/");
    dialogs.ExpectFile(std::nullopt);
    form.browse1Button->click();
    EXPECT_EQ(form.library1Edit->text(), "/chosen/dir") << "Cancel changes nothing";
}

class SettingsDialogRig : public ::testing::Test {
protected:
    // Opens the dialog from the window; `edit` plays the user, then OK.
    void Run(const std::function<void(SettingsDialog&)>& edit)
    {
        rig.answerModal = [&](QDialog& d) {
            auto& form = dynamic_cast<SettingsDialog&>(d);
            edit(form);
            form.onOkClicked();
            return static_cast<int>(form.result());
        };
        f.settingsButton->click();
    }
    size_t Messages() const { return rig.dialogs.Messages().size(); }

    AppRig rig;
    WizardWindow& f = rig.Create();
};

TEST_F(SettingsDialogRig, OnlyFolderChangesNeedNoRestart)
{
    Run([](SettingsDialog& form) {
        form.library1Edit->setText("/libs/one");
        form.autoCollectBox->setChecked(false);
        form.storeFoldersBox->setChecked(false);
    });
    EXPECT_EQ(rig.modalShown, std::vector<std::string>{"SettingsDialog"});
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(f.settings.Fargo1LibDir, "/libs/one/");
    EXPECT_FALSE(f.settings.AutoCollect);
    EXPECT_FALSE(f.settings.StoreFolders);
}

// A new cable, port or device is used as soon as OK is pressed.
TEST_F(SettingsDialogRig, PortCableOrDeviceChangeTakesEffectAtOnce)
{
    Run([](SettingsDialog& form) { form.portList->setCurrentIndex(1); });
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(f.settings.Port, 1);
    EXPECT_EQ(rig.link.Cabletype, 2);
    EXPECT_EQ(rig.serial->CommPort(), cpCOM2);
    EXPECT_EQ(f.statusLabel->toolTip().toStdString(), "The new cable settings are in use.");

    Run([](SettingsDialog& form) { form.cableList->setCurrentIndex(0); });
    EXPECT_EQ(f.settings.CableType, 0);
    EXPECT_EQ(rig.link.Cabletype, 1);

    Run([](SettingsDialog& form) {
        form.cableList->setCurrentIndex(1);
        form.portList->setCurrentIndex(0);
        form.portDeviceEdit->setText("/dev/ttyUSB0");
    });
    EXPECT_EQ(rig.link.Cabletype, 2);
    EXPECT_EQ(rig.serial->CommPort(), cpCOM1);
    EXPECT_EQ(SerialPort::StoredDevice(1), "/dev/ttyUSB0");
    f.SaveSettings();
    EXPECT_EQ(rig.settings.Read("Settings", "Device of COM Port 1"), "/dev/ttyUSB0");
}

TEST_F(SettingsDialogRig, CancelChangesNothing)
{
    rig.answerModal = [](QDialog& d) {
        auto& form = dynamic_cast<SettingsDialog&>(d);
        form.portList->setCurrentIndex(3);
        form.library1Edit->setText("/elsewhere");
        return static_cast<int>(QDialog::Rejected);
    };
    f.settingsButton->click();
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(f.settings.Port, 0);
    EXPECT_EQ(f.settings.Fargo1LibDir, rig.folder + "fargo1/");
}

TEST(fileFilterDialog, TypeBoxesRebuildTheExtensionsAndGateTheFargoBoxes)
{
    FileFilterDialog form;
    EXPECT_EQ(form.height(), FileFilterDialog::kEasyHeight);
    form.ti92FilesBox->click();  // off
    EXPECT_FALSE(form.fargo1FilesBox->isEnabled());
    EXPECT_FALSE(form.fargo2FilesBox->isEnabled());
    EXPECT_EQ(form.ExtensionText(), ".TXT;");
    form.textFilesBox->click();  // off
    EXPECT_EQ(form.ExtensionText(), "");
    form.ti92FilesBox->click();
    form.textFilesBox->click();
    EXPECT_TRUE(form.fargo1FilesBox->isEnabled());
    EXPECT_EQ(form.ExtensionText(), std::string(kDefaultExtensionString) + ".TXT;");

    EXPECT_FALSE(form.extensionsEdit->isVisibleTo(&form));
    form.advancedButton->click();
    EXPECT_EQ(form.height(), FileFilterDialog::kAdvancedHeight);
    EXPECT_EQ(form.advancedButton->text(), "&Easy");
    EXPECT_TRUE(form.extensionsEdit->isVisibleTo(&form));
    form.advancedButton->click();
    EXPECT_EQ(form.height(), FileFilterDialog::kEasyHeight);
    EXPECT_EQ(form.advancedButton->text(), "&Advanced");
}

TEST(fileFilterDialog, ReadsItsBoxesThenTheStoredExtensions)
{
    MemorySettingsStore store;
    store.Write("Settings", "Show TI92-files", "0");
    store.Write("Settings", "Show Fargo2-files", "0");
    store.Write("Settings", "Show Extenstionsstring", ".92P;");
    FileFilterDialog form;
    form.ReadSettings(store);
    EXPECT_FALSE(form.ShowTI92());
    EXPECT_TRUE(form.ShowText());
    EXPECT_FALSE(form.ShowFargo2());
    EXPECT_FALSE(form.fargo1FilesBox->isEnabled());
    EXPECT_EQ(form.ExtensionText(), ".TXT;") << "the boxes decide which kinds are listed";
}

TEST(fileFilterDialog, ExtensionsFollowTheTickedBoxes)
{
    const std::string all = kDefaultExtensionString;
    struct Row {
        std::string stored;
        bool ti92, text;
        std::string shown;
    };
    const Row rows[] = {
        {all, true, true, all + ".TXT;"},  // first start: text files ticked too
        {".92P;", true, true, ".92P;.TXT;"},
        {".92P;.TXT;", false, true, ".TXT;"},
        {all + ".TXT;", true, false, all},
        {".ABC;.txt;", true, true, all + ".ABC;.txt;"},
        {"", false, false, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.stored);
        EXPECT_EQ(FileFilterDialog::FollowBoxes(r.stored, r.ti92, r.text), r.shown);
    }
}

TEST(fileFilterDialog, ClosingHandsTheFilterToTheBrowser)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    rig.answerModal = [](QDialog& d) {
        auto& form = dynamic_cast<FileFilterDialog&>(d);
        form.fargo1FilesBox->click();
        form.textFilesBox->click();
        form.okButton->click();
        return static_cast<int>(form.result());
    };
    f.showFilesButton->click();
    EXPECT_EQ(rig.modalShown, std::vector<std::string>{"FileFilterDialog"});
    EXPECT_FALSE(f.settings.ShowFargo1);
    EXPECT_TRUE(f.settings.ShowFargo2);
    EXPECT_EQ(f.settings.ExtensionString, kDefaultExtensionString);
}

TEST(QtDialogsText, TheFolderChooserOpensAtTheNearestFolderStillThere)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("a/b/c"));
    const QString root = QDir(dir.path()).absolutePath();
    EXPECT_EQ(FolderChooserStart(root + "/a/b/c/"), root + "/a/b/c");
    EXPECT_EQ(FolderChooserStart(root + "/a/gone/deeper/"), root + "/a");
    EXPECT_EQ(FolderChooserStart(""), QDir::homePath());
    EXPECT_EQ(FolderChooserStart("relative/nowhere"), QDir::homePath());
}

TEST(QtDialogsText, TheChosenFilterGivesTheExtension)
{
    struct Row {
        const char* filter;
        const char* suffix;
    };
    for (const Row& r :
         {Row{"PNG images (*.png)", "png"}, Row{"Bitmaps (*.bmp)", "bmp"}, Row{"TI92 groupfiles (*.92g)", "92g"},
          Row{"Text (*.txt *.TXT)", "txt"}, Row{"All files (*)", ""}}) {
        SCOPED_TRACE(r.filter);
        EXPECT_EQ(SuffixOfFilter(r.filter).toStdString(), r.suffix);
    }
}

TEST(QtDialogsText, TheErrorClassGoesIntoTheDetails)
{
    const ErrorBoxText e = SplitErrorDetails("Some error occured while listing!\r\rMore info:\rErrorclass: ELinkError\r"
                                             "Message: \r/dev/ttyUSB0: no such device Nothing was changed.");
    EXPECT_EQ(e.text, "Some error occured while listing!\r/dev/ttyUSB0: no such device Nothing was changed.");
    EXPECT_EQ(e.details, "Error class: ELinkError");
    for (const char* plain : {"Calculator is not ready!\r* Check the cable", "More info:\rErrorclass: X"}) {
        EXPECT_EQ(SplitErrorDetails(plain).text, plain);
        EXPECT_EQ(SplitErrorDetails(plain).details, "");
    }
}

TEST(QtDialogsText, EachCarriageReturnIsALineBreak)
{
    EXPECT_EQ(DialogText("a\rb\r\rc\r\nd"), "a\nb\n\nc\nd");
}

// The settings' registration buttons: offered only without an installed
// package's entries, each the undo of the other, a failure shown.
TEST_F(SettingsDialogRig, RegistrationButtonsUseAndUndoTheUsersOwnRegistration)
{
    rig.shell.registered = false;
    Run([this](SettingsDialog& form) {
        EXPECT_TRUE(form.registerButton->isEnabled());
        EXPECT_FALSE(form.unregisterButton->isEnabled());
        form.registerButton->click();
        EXPECT_EQ(rig.shell.registrations, 1);
        EXPECT_TRUE(form.unregisterButton->isEnabled());
        rig.shell.failure = "Cannot remove /home/ann/.local/share/applications/linkwise.desktop.";
        rig.dialogs.ExpectMessage(MsgResult::Ok);
        form.unregisterButton->click();
        EXPECT_TRUE(form.unregisterButton->isEnabled()) << "still registered";
        rig.shell.failure = nullptr;
        form.unregisterButton->click();
        EXPECT_EQ(rig.shell.unregistrations, 1);
        EXPECT_TRUE(form.registerButton->isEnabled());
    });
    ASSERT_EQ(Messages(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0], "Linkwise's registration for TI-92 files could not be removed: Cannot remove "
                                         "/home/ann/.local/share/applications/linkwise.desktop.");
    rig.shell.installedEntries = "/usr/share";
    Run([](SettingsDialog& form) {
        EXPECT_TRUE(form.registerButton->isHidden());
        EXPECT_TRUE(form.unregisterButton->isHidden());
    });
}
