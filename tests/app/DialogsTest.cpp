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

#include "app/dialogs/QtDialogs.h"
#include "app/dialogs/TPathform.h"
#include "app/settings/TSettingsForm.h"
#include "app/dialogs/TShowForm.h"
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

TEST(SettingsForm, PortListFollowsTheCableAndKeepsTheIndex)
{
    ScriptedDialogs dialogs;
    TSettingsForm form(dialogs);
    SettingsRecord s;
    s.CableType = 1;
    s.Port = 2;
    form.Fill(s);
    EXPECT_EQ(Items(form.PortList),
              (QStringList{"COM Port 1", "COM Port 2", "COM Port 3", "COM Port 4"}));
    EXPECT_EQ(form.PortList->currentIndex(), 2);
    EXPECT_TRUE(form.PortDevice->isEnabled());
    EXPECT_EQ(form.PortDevice->placeholderText(), "/dev/ttyS2");
    // The devices present are offered; picking one fills the field.
    ASSERT_TRUE(form.PickDevice->isEnabled());
    form.FillDeviceMenu();
    const auto offered = form.PickDevice->menu()->actions();
    ASSERT_FALSE(offered.isEmpty());
    if (offered[0]->isEnabled()) {
        offered[0]->trigger();
        EXPECT_EQ(form.PortDevice->text(), offered[0]->text().section("  (", 0, 0));
    }
    form.CableList->setCurrentIndex(0);
    EXPECT_EQ(Items(form.PortList),
              (QStringList{"LPT Port 1", "LPT Port 2", "LPT Port 3", "LPT Port 4"}));
    EXPECT_EQ(form.PortList->currentIndex(), 2);
    EXPECT_FALSE(form.PortDevice->isEnabled());
    EXPECT_FALSE(form.PickDevice->isEnabled());
    EXPECT_EQ(form.PortDevice->text(), "/dev/parport2");
}

TEST(SettingsForm, OkEndsFolderFieldsWithASlashButLeavesEmptyOnesEmpty)
{
    ScriptedDialogs dialogs;
    TSettingsForm form(dialogs);
    form.Fill(SettingsRecord{});
    form.Lib1->setText("");
    form.Lib2->setText("/home/u/Fargo2");
    form.OkClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Lib1Text(), "");
    EXPECT_EQ(form.Lib2Text(), "/home/u/Fargo2/");
    form.Lib2->setText("/already/");
    form.OkClick();
    EXPECT_EQ(form.Lib2Text(), "/already/");
}

TEST(SettingsForm, BrowseUsesTheDirectoryPicker)
{
    ScriptedDialogs dialogs;
    TSettingsForm form(dialogs);
    form.Lib1->setText("/start/here/");
    dialogs.ExpectFile(std::string("/chosen/dir"));
    form.Browse1->click();
    EXPECT_EQ(form.Lib1->text(), "/chosen/dir");
    EXPECT_EQ(dialogs.shown.back().request.initialDir, "/start/here/");
    dialogs.ExpectFile(std::nullopt);
    form.Browse1->click();
    EXPECT_EQ(form.Lib1->text(), "/chosen/dir") << "Cancel changes nothing";
}

class SettingsDialog : public ::testing::Test {
protected:
    // Opens the dialog from the window; `edit` plays the user, then OK.
    void Run(const std::function<void(TSettingsForm&)>& edit)
    {
        rig.answerModal = [&](QDialog& d) {
            auto& form = dynamic_cast<TSettingsForm&>(d);
            edit(form);
            form.OkClick();
            return static_cast<int>(form.result());
        };
        f.BitBtn6->click();
    }
    size_t Messages() const { return rig.dialogs.Messages().size(); }

    AppRig rig;
    TForm1& f = rig.Create();
};

TEST_F(SettingsDialog, OnlyFolderChangesNeedNoRestart)
{
    Run([](TSettingsForm& form) {
        form.Lib1->setText("/libs/one");
        form.AutoCollectBox->setChecked(false);
        form.StoreFoldersBox->setChecked(false);
    });
    EXPECT_EQ(rig.modalShown, std::vector<std::string>{"SettingsForm"});
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(f.Settings.Fargo1LibDir, "/libs/one/");
    EXPECT_FALSE(f.Settings.AutoCollect);
    EXPECT_FALSE(f.Settings.StoreFolders);
}

TEST_F(SettingsDialog, PortOrCableChangeAsksForARestart)
{
    Run([](TSettingsForm& form) { form.PortList->setCurrentIndex(1); });
    ASSERT_EQ(Messages(), 1u);
    EXPECT_EQ(rig.dialogs.Messages()[0],
              "The new cable-settings will not be active until you restart the program");
    EXPECT_EQ(rig.dialogs.shown.back().icon, MsgIcon::Information);
    EXPECT_EQ(f.Settings.Port, 1);
    EXPECT_EQ(rig.link.Cabletype, 2) << "the link is not reconfigured";
    EXPECT_EQ(rig.serial->CommPort(), cpCOM1);

    Run([](TSettingsForm& form) { form.CableList->setCurrentIndex(0); });
    EXPECT_EQ(Messages(), 2u);
    EXPECT_EQ(f.Settings.CableType, 0);
    EXPECT_EQ(f.Settings.Port, 1);
}

TEST_F(SettingsDialog, AnotherDeviceForThePortInUseIsStoredAndNeedsARestart)
{
    Run([](TSettingsForm& form) { form.PortDevice->setText("/dev/ttyUSB0"); });
    EXPECT_EQ(Messages(), 1u);
    EXPECT_EQ(SerialPort::StoredDevice(1), "/dev/ttyUSB0");
    f.SaveSettings();
    EXPECT_EQ(rig.settings.Read("Settings", "Device of COM Port 1"), "/dev/ttyUSB0");
}

TEST_F(SettingsDialog, CancelChangesNothing)
{
    rig.answerModal = [](QDialog& d) {
        auto& form = dynamic_cast<TSettingsForm&>(d);
        form.PortList->setCurrentIndex(3);
        form.Lib1->setText("/elsewhere");
        return static_cast<int>(QDialog::Rejected);
    };
    f.BitBtn6->click();
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(f.Settings.Port, 0);
    EXPECT_EQ(f.Settings.Fargo1LibDir, rig.folder);
}

TEST(ShowForm, TypeBoxesRebuildTheExtensionsAndGateTheFargoBoxes)
{
    TShowForm form;
    EXPECT_EQ(form.height(), TShowForm::kEasyHeight);
    form.TI92Box->click();   // off
    EXPECT_FALSE(form.Fargo1Box->isEnabled());
    EXPECT_FALSE(form.Fargo2Box->isEnabled());
    EXPECT_EQ(form.ExtensionText(), ".TXT;");
    form.TextBox->click();   // off
    EXPECT_EQ(form.ExtensionText(), "");
    form.TI92Box->click();
    form.TextBox->click();
    EXPECT_TRUE(form.Fargo1Box->isEnabled());
    EXPECT_EQ(form.ExtensionText(), std::string(kDefaultExtensionString) + ".TXT;");

    EXPECT_FALSE(form.ExtEdit->isVisibleTo(&form));
    form.AdvancedBtn->click();
    EXPECT_EQ(form.height(), TShowForm::kAdvancedHeight);
    EXPECT_EQ(form.AdvancedBtn->text(), "&Easy");
    EXPECT_TRUE(form.ExtEdit->isVisibleTo(&form));
    form.AdvancedBtn->click();
    EXPECT_EQ(form.height(), TShowForm::kEasyHeight);
    EXPECT_EQ(form.AdvancedBtn->text(), "&Advanced");
}

TEST(ShowForm, ReadsItsBoxesThenTheStoredExtensions)
{
    MemorySettingsStore store;
    store.Write("Settings", "Show TI92-files", "0");
    store.Write("Settings", "Show Fargo2-files", "0");
    store.Write("Settings", "Show Extenstionsstring", ".92P;");
    TShowForm form;
    form.ReadSettings(store);
    EXPECT_FALSE(form.ShowTI92());
    EXPECT_TRUE(form.ShowText());
    EXPECT_FALSE(form.ShowFargo2());
    EXPECT_FALSE(form.Fargo1Box->isEnabled());
    EXPECT_EQ(form.ExtensionText(), ".TXT;") << "the boxes decide which kinds are listed";
}

TEST(ShowForm, ExtensionsFollowTheTickedBoxes)
{
    const std::string all = kDefaultExtensionString;
    struct Row {
        std::string stored;
        bool ti92, text;
        std::string shown;
    };
    const Row rows[] = {
        {all, true, true, all + ".TXT;"},   // first start: text files ticked too
        {".92P;", true, true, ".92P;.TXT;"},
        {".92P;.TXT;", false, true, ".TXT;"},
        {all + ".TXT;", true, false, all},
        {".ABC;.txt;", true, true, all + ".ABC;.txt;"},
        {"", false, false, ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.stored);
        EXPECT_EQ(TShowForm::FollowBoxes(r.stored, r.ti92, r.text), r.shown);
    }
}

TEST(ShowForm, ClosingHandsTheFilterToTheBrowser)
{
    AppRig rig;
    TForm1& f = rig.Create();
    rig.answerModal = [](QDialog& d) {
        auto& form = dynamic_cast<TShowForm&>(d);
        form.Fargo1Box->click();
        form.TextBox->click();
        form.OkBtn->click();
        return static_cast<int>(form.result());
    };
    f.ShowFilesBtn->click();
    EXPECT_EQ(rig.modalShown, std::vector<std::string>{"ShowForm"});
    EXPECT_FALSE(f.Settings.ShowFargo1);
    EXPECT_TRUE(f.Settings.ShowFargo2);
    EXPECT_EQ(f.Settings.ExtensionString, kDefaultExtensionString);
}

TEST(Pathform, OpensAtTheFolderItIsGivenInView)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("a/b/c"));
    TPathform form;
    EXPECT_EQ(form.windowTitle(), "Select path");
    form.SetDirectory(dir.path() + "/a/b/c/");
    EXPECT_EQ(QDir(form.Directory()), QDir(dir.path() + "/a/b/c"));
    form.SetDirectory(dir.path() + "/a/gone/");
    EXPECT_EQ(QDir(form.Directory()), QDir(dir.path() + "/a")) << "the nearest folder still there";

    form.show();
    QTreeWidget* tree = form.DirectoryListBox1;
    const auto inView = [tree] {
        return tree->viewport()->rect().contains(tree->visualRect(tree->currentIndex()));
    };
    EXPECT_TRUE(inView());
}

TEST(QtDialogsText, TheChosenFilterGivesTheExtension)
{
    struct Row {
        const char* filter;
        const char* suffix;
    };
    for (const Row& r : {Row{"PNG images (*.png)", "png"}, Row{"Bitmaps (*.bmp)", "bmp"},
                         Row{"TI92 groupfiles (*.92g)", "92g"}, Row{"Text (*.txt *.TXT)", "txt"},
                         Row{"All files (*)", ""}}) {
        SCOPED_TRACE(r.filter);
        EXPECT_EQ(SuffixOfFilter(r.filter).toStdString(), r.suffix);
    }
}

TEST(QtDialogsText, EachCarriageReturnIsALineBreak)
{
    EXPECT_EQ(DialogText("a\rb\r\rc\r\nd"), "a\nb\n\nc\nd");
}
