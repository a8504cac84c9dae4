// The settings dialog, the filter dialog and the directory picker.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "app/dialogs/FileFilterDialog.h"
#include "app/dialogs/QtDialogs.h"
#include "app/settings/SettingsDialog.h"
#include "tests/app/AppRig.h"
#include "tests/support/FakeDoctorSystem.h"

namespace {

QStringList Items(const QComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

}  // namespace

// The device list on a laid-out machine: what each cable lists, which row
// the stored settings select, and what a choice stores under which port.
TEST(settingsDialog, DeviceListShowsTheDevicesAndStoresTheChoice)
{
    struct Row {
        const char* what;
        int cable, port;
        std::string stored, com1;  // the port's stored device; LINKWISE_COM1
        QString choose, typed;     // the row picked, then the path typed
        QStringList listed;        // empty: not checked
        QString selected;          // before the choice
        int portAfter;
        std::string device, path;  // stored for portAfter; the path field
    };
    const QString D = " \u2014 ", absent = D + "not present", ftdi = "$/ttyUSB0" + D + "FTDI FT232R (serial A1)";
    const std::string byId = "$/serial/by-id/usb-FTDI_FT232R_A1-if00-port0";
    // clang-format off
    const Row rows[] = {
        {"old settings, device gone", 1, 2, "/dev/ttyUSB1", "", "", "",
         {"$/ttyACM0", "$/ttyS0", ftdi, "/dev/ttyUSB1" + absent, "Other path"},
         "/dev/ttyUSB1" + absent, 2, "/dev/ttyUSB1", "/dev/ttyUSB1"},
        {"old settings by plain name", 1, 0, "$/ttyUSB0", "", "", "", {}, ftdi, 0, "$/ttyUSB0", "$/ttyUSB0"},
        {"an adapter is stored by its stable name", 2, 1, "", "", ftdi, "", {}, "/dev/ttyS1" + absent, 1, byId, byId},
        {"the standard device is stored as none", 1, 0, "$/ttyACM0", "", "Other path", "/dev/ttyS0", {},
         "$/ttyACM0", 0, "", "/dev/ttyS0"},
        {"another path", 1, 3, "", "", "Other path", " /dev/rfcomm0 ", {},
         "/dev/ttyS3" + absent, 3, "/dev/rfcomm0", " /dev/rfcomm0 "},
        {"the environment's device, then another", 1, 0, "/dev/ttyUSB9", "$/pty", "$/ttyACM0", "",
         {"$/pty" + D + "from LINKWISE_COM1", "$/ttyACM0", "$/ttyS0", ftdi, "Other path"},
         "$/pty" + D + "from LINKWISE_COM1", 1, "$/ttyACM0", "$/ttyACM0"},
        {"parallel", 0, 0, "", "", "/dev/parport2" + absent, "",
         {"/dev/parport0", "/dev/parport1" + absent, "/dev/parport2" + absent, "/dev/parport3" + absent},
         "/dev/parport0", 2, "", "/dev/parport2"},
        {"USB", 3, 1, "usb:1:2", "", "The first USB cable found", "",
         {"The first USB cable found", "usb:3:7" + D + "USB cable at bus 3 address 7 (/dev/bus/usb/003/007)",
          "usb:1:2" + absent, "Other path"},
         "usb:1:2" + absent, 1, "", ""},
    };
    // clang-format on
    QTemporaryDir dir;
    FakeDoctorSystem machine;
    machine.LayOutAdapter(dir.path().toStdString(), {"ttyS0", "ttyACM0"});
    const std::string dev = machine.devFolder;
    machine.facts.known[dev + "/ttyUSB0"] = {{"ID_VENDOR", "FTDI"}, {"ID_MODEL", "FT232R"}, {"ID_SERIAL_SHORT", "A1"}};
    machine.parallelPorts = {"/dev/parport0"};
    machine.usbCables = {{3, 7}};
    auto Here = [&](QString s) { return s.replace("$", QString::fromStdString(dev)); };
    auto HereS = [&](const std::string& s) { return Here(QString::fromStdString(s)).toStdString(); };
    for (const char* variable : {"LINKWISE_COM1", "LINKWISE_COM2", "LINKWISE_COM3", "LINKWISE_COM4"})
        unsetenv(variable);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        if (!r.com1.empty())
            setenv("LINKWISE_COM1", HereS(r.com1).c_str(), 1);
        SerialPort::SetStoredDevice(r.port + 1, HereS(r.stored));
        ScriptedDialogs dialogs;
        RecordingShell shell;
        SettingsDialog form(dialogs, shell);
        form.SetMachine(&machine);
        SettingsRecord s;
        s.CableType = static_cast<uint8_t>(r.cable);
        s.Port = static_cast<uint8_t>(r.port);
        form.Fill(s);
        if (!r.listed.isEmpty()) {
            EXPECT_EQ(Items(form.deviceList).join(" | "), Here(r.listed.join(" | ")));
        }
        EXPECT_EQ(form.deviceList->currentText(), Here(r.selected));
        if (!r.choose.isEmpty())
            form.deviceList->setCurrentIndex(form.deviceList->findText(Here(r.choose)));
        if (!r.typed.isEmpty())
            QTest::keyClicks(form.pathEdit, r.typed);
        EXPECT_EQ(form.PortIndex(), r.portAfter);
        EXPECT_EQ(form.Device(r.portAfter + 1), HereS(r.device));
        EXPECT_EQ(form.pathEdit->text(), Here(QString::fromStdString(r.path)));
        EXPECT_EQ(form.pathEdit->isReadOnly(), r.typed.isEmpty());
        unsetenv("LINKWISE_COM1");
        SerialPort::SetStoredDevice(r.port + 1, "");
    }
}

// What the calculator search found is shown as chosen: the environment's
// row for its device, the parallel port by number, any other as a path.
TEST(settingsDialog, TheSearchFindingFillsTheChoice)
{
    struct Row {
        DoctorCandidate found;
        QString selected;
        int port;
        std::string device;  // stored for the port
    };
    const Row rows[] =
        {{{"/dev/pts/7", "", Cable::Grey, ""}, "/dev/pts/7 \u2014 from LINKWISE_COM2", 1, "/dev/ttyUSB4"},
         {{"/dev/parport3", "", Cable::Parallel, ""}, "/dev/parport3 \u2014 not present", 3, ""},
         {{"/dev/rfcomm1", "", Cable::Black, ""}, "Other path", 0, "/dev/rfcomm1"}};
    setenv("LINKWISE_COM2", "/dev/pts/7", 1);
    SerialPort::SetStoredDevice(2, "/dev/ttyUSB4");
    for (const Row& r : rows) {
        ScriptedDialogs dialogs;
        RecordingShell shell;
        SettingsDialog form(dialogs, shell);
        form.Fill(SettingsRecord{});
        form.UseFound(r.found);
        EXPECT_EQ(form.deviceList->currentText(), r.selected);
        EXPECT_EQ(form.PortIndex(), r.port);
        EXPECT_EQ(form.Device(r.port + 1), r.device);
    }
    unsetenv("LINKWISE_COM2");
    SerialPort::SetStoredDevice(2, "");
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

TEST_F(SettingsDialogRig, ShownWholeWhereThereIsRoomScrolledOnAShortScreen)
{
    Run([](SettingsDialog& form) {
        form.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(form.findChild<QScrollArea*>()->verticalScrollBar()->maximum(), 0);
        EXPECT_LE(form.minimumSizeHint().height() + 32, 480) << "OK and Cancel in sight on a 640 x 480 screen";
        form.hide();
    });
}

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
    Run([](SettingsDialog& form) {
        form.cableList->setCurrentIndex(0);
        form.deviceList->setCurrentIndex(2);  // /dev/parport2
    });
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(f.settings.CableType, 0);
    EXPECT_EQ(f.settings.Port, 2);
    EXPECT_EQ(rig.link.Cabletype, 1);
    EXPECT_EQ(rig.link.PortAdress, kParallelAddresses[2]);
    EXPECT_EQ(f.statusLabel->toolTip().toStdString(), "The new cable settings are in use.");

    Run([](SettingsDialog& form) { form.cableList->setCurrentIndex(1); });
    EXPECT_EQ(rig.link.Cabletype, 2);
    EXPECT_EQ(rig.serial->CommPort(), cpCOM3) << "the parallel port's number chose the serial port";

    Run([](SettingsDialog& form) {
        form.deviceList->setCurrentIndex(form.deviceList->findText("Other path"));
        QTest::keyClicks(form.pathEdit, "/dev/ttyUSB0");
    });
    EXPECT_EQ(f.settings.Port, 2);
    EXPECT_EQ(SerialPort::StoredDevice(3), "/dev/ttyUSB0");
    f.SaveSettings();
    EXPECT_EQ(rig.settings.Read("Settings", "Device of COM Port 3"), "/dev/ttyUSB0");

    Run([](SettingsDialog& form) { form.cableList->setCurrentIndex(3); });
    EXPECT_EQ(rig.link.Cabletype, 4);
    EXPECT_EQ(rig.usbPort->CommPort(), cpCOM3) << "the USB cable reads the same port's device";
}

TEST_F(SettingsDialogRig, CancelChangesNothing)
{
    rig.answerModal = [](QDialog& d) {
        auto& form = dynamic_cast<SettingsDialog&>(d);
        form.cableList->setCurrentIndex(0);
        form.deviceList->setCurrentIndex(3);
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
