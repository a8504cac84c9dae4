// Settings: the store's text forms, loading with defaults, saving in order.
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/dialogs/FileFilterDialog.h"
#include "app/settings/IniSettingsStore.h"
#include "tests/app/AppRig.h"

TEST(SettingInteger, AcceptsDecimalAndHexOnly)
{
    EXPECT_EQ(ParseSettingInteger("2"), 2);
    EXPECT_EQ(ParseSettingInteger("0x2"), 2);
    EXPECT_EQ(ParseSettingInteger("0X1f"), 31);
    EXPECT_EQ(ParseSettingInteger("-5"), -5);
    EXPECT_EQ(ParseSettingInteger("0xFFFFFFFF"), -1);
    EXPECT_EQ(ParseSettingInteger("two"), std::nullopt);
    EXPECT_EQ(ParseSettingInteger(""), std::nullopt);
    EXPECT_EQ(ParseSettingInteger("0x"), std::nullopt);
    EXPECT_EQ(ParseSettingInteger("12abc"), std::nullopt);
    EXPECT_EQ(ParseSettingInteger(" 3"), std::nullopt);
    EXPECT_EQ(ParseSettingInteger("99999999999"), std::nullopt);
    EXPECT_EQ(ParseSettingInteger("0x100000000"), std::nullopt);

    MemorySettingsStore s;
    s.Write("Settings", "Flag", "2");
    EXPECT_TRUE(ReadBool(s, "Settings", "flag", 0)) << "any number but 0 is true";
    s.Write("Settings", "Flag", "yes");
    EXPECT_FALSE(ReadBool(s, "Settings", "FLAG", 0)) << "not a number: the default";
    EXPECT_TRUE(ReadBool(s, "Settings", "Missing", 1));
}

TEST(Settings, DefaultsOnAnEmptyStore)
{
    AppRig rig;
    WizardWindow& f = rig.Create();
    const SettingsRecord& s = f.settings;
    EXPECT_EQ(s.CableType, 1);
    EXPECT_EQ(s.Port, 0);
    EXPECT_TRUE(s.AutoCollect);
    EXPECT_TRUE(s.StoreFolders);
    EXPECT_TRUE(s.CheckRegistry);
    EXPECT_TRUE(s.ShowFargo1);
    EXPECT_TRUE(s.ShowFargo2);
    EXPECT_EQ(s.ExtensionString, std::string(kDefaultExtensionString) + ".TXT;") << "text files are ticked";
    EXPECT_EQ(s.Fargo1LibDir, rig.folder + "fargo1/");
    EXPECT_EQ(s.Fargo2LibDir, rig.folder + "fargo2/");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(s.Fargo2LibDir)).isDir()) << "made on first use";
    EXPECT_EQ(s.IndexFile, rig.folder + "~indx.~92");
    EXPECT_EQ(s.DataFile, rig.folder + "~data.~92");
    EXPECT_FALSE(f.autoNextBox->isChecked());
    EXPECT_FALSE(f.leftPanel->isHidden());
    EXPECT_FALSE(f.helpStrip->isHidden());
    ASSERT_EQ(f.folderBox->count(), 5);
    EXPECT_EQ(f.folderBox->itemText(0), QDir::homePath() + "/");
    EXPECT_EQ(f.folderBox->itemText(4), "");
    EXPECT_EQ(f.folderBox->currentIndex(), 0);
    EXPECT_EQ(f.fileList->columnWidth(1), 150);
    EXPECT_EQ(f.width(), 638);
    EXPECT_EQ(f.height(), 407);
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(f.y(), static_cast<int>(screen.height() * 0.1));
    EXPECT_EQ(f.x(), static_cast<int>(screen.width() * 0.1));
    EXPECT_EQ(f.textViewerPlace.Left, f.x() + 638);
    EXPECT_EQ(f.textViewerPlace.Top, f.y() + 130);
    EXPECT_EQ(f.pictureViewerPlace.Top, f.y());

    // The link: graph-link cable on COM1, opened; the parallel lines reset.
    EXPECT_EQ(rig.link.Cabletype, 2);
    EXPECT_EQ(rig.link.PortAdress, 0x378);
    EXPECT_EQ(rig.serial->CommPort(), cpCOM1);
    EXPECT_TRUE(rig.device->IsOpen());
    EXPECT_EQ(rig.link.serialPort, rig.serial.get());
    ASSERT_FALSE(rig.portIO.outs.empty());
    EXPECT_EQ(rig.portIO.outs.front(), (std::pair<uint16_t, uint8_t>{0x378, 0xFF}));
    EXPECT_TRUE(rig.dialogs.shown.empty());
}

// Older versions kept libraries and the first folder in the program's own
// folder; stored, such a folder reads as the default, any other stays.
TEST(Settings, StoredProgramFoldersReadAsTheDefault)
{
    QTemporaryDir installed;
    QFile window(installed.filePath("linkwise"));
    ASSERT_TRUE(window.open(QIODevice::WriteOnly));
    window.setPermissions(window.permissions() | QFileDevice::ExeUser);
    window.close();
    const std::string running = QCoreApplication::applicationDirPath().toStdString() + "/";
    struct Row {
        std::string stored;
        bool isProgramFolder;
    };
    for (const Row& r : {Row{running, true}, Row{installed.path().toStdString() + "/", true},
                         Row{installed.path().toStdString(), true}, Row{"/home/ann/fargo/", false}}) {
        SCOPED_TRACE(r.stored);
        AppRig rig;
        rig.Set("Settings", "Fargo1 Librarydir", r.stored);
        rig.Set("Settings", "Fargo2 Librarydir", r.stored);
        rig.Set("Last", "Last directory history item #1", r.stored);
        rig.Set("Last", "Last directory history item #2", r.stored);
        WizardWindow& f = rig.Create();
        EXPECT_EQ(f.settings.Fargo1LibDir, r.isProgramFolder ? rig.folder + "fargo1/" : r.stored);
        EXPECT_EQ(f.settings.Fargo2LibDir, r.isProgramFolder ? rig.folder + "fargo2/" : r.stored);
        const std::string home = QDir::homePath().toStdString() + "/";
        EXPECT_EQ(f.folderBox->itemText(0).toStdString(), r.isProgramFolder ? home : r.stored);
        EXPECT_EQ(f.folderBox->itemText(1).toStdString(), r.isProgramFolder ? "" : r.stored);
        f.SaveSettings();
        EXPECT_EQ(rig.settings.Read("Settings", "Fargo1 Librarydir"), f.settings.Fargo1LibDir) << "stored as read";
    }
}

TEST(Settings, PortAsHexOrNonsenseAndCableChoice)
{
    {
        AppRig rig;
        rig.Set("Settings", "Port", "0x2");
        rig.Set("Settings", "Cabletype", "0");
        WizardWindow& f = rig.Create();
        EXPECT_EQ(f.settings.Port, 2);
        EXPECT_EQ(rig.link.Cabletype, 1);
        EXPECT_EQ(rig.link.PortAdress, 0x3BC);
        EXPECT_FALSE(rig.device->IsOpen()) << "the parallel cable opens no COM port";
    }
    {
        AppRig rig;
        rig.Set("Settings", "Port", "two");
        WizardWindow& f = rig.Create();
        EXPECT_EQ(f.settings.Port, 0);
    }
    {
        // A port beyond the address table falls back to the first address.
        AppRig rig;
        rig.Set("Settings", "Port", "6");
        rig.Set("Settings", "Cabletype", "0");
        WizardWindow& f = rig.Create();
        EXPECT_EQ(f.settings.Port, 6);
        EXPECT_EQ(rig.link.PortAdress, 0x378);
    }
}

TEST(Settings, EveryCableValueReadsBackOpensItsDeviceAndIsWrittenUnchanged)
{
    // "0" and "1" are what settings files have always held.
    struct Row {
        const char* stored;
        uint8_t cabletype;
        bool greyOpen, blackOpen, usbOpen;
    };
    for (const Row& r : {Row{"0", 1, false, false, false}, Row{"1", 2, true, false, false},
                         Row{"2", 3, false, true, false}, Row{"3", 4, false, false, true}}) {
        SCOPED_TRACE(r.stored);
        AppRig rig;
        rig.Set("Settings", "Cabletype", r.stored);
        rig.Set("Settings", "Check Registry", "0");
        WizardWindow& f = rig.Create();
        EXPECT_EQ(rig.link.Cabletype, r.cabletype);
        EXPECT_EQ(rig.device->IsOpen(), r.greyOpen);
        EXPECT_EQ(rig.modemLines.IsOpen(), r.blackOpen);
        EXPECT_EQ(rig.usb->IsOpen(), r.usbOpen);
        EXPECT_TRUE(rig.dialogs.shown.empty());
        f.SaveSettings();
        EXPECT_EQ(rig.settings.Read("Settings", "Cabletype"), r.stored);
    }
}

TEST(Settings, NamesMatchWithoutRegardToCase)
{
    AppRig rig;
    rig.Set("settings", "AUTOCLICK NEXT", "1");
    rig.Set("Settings", "Autocollect Libraries", "0");
    rig.Set("SETTINGS", "show leftside-information", "0");
    rig.Set("last", "last directory history item #2", "/data/ti");
    WizardWindow& f = rig.Create();
    EXPECT_TRUE(f.autoNextBox->isChecked());
    EXPECT_FALSE(f.settings.AutoCollect);
    EXPECT_TRUE(f.leftPanel->isHidden());
    EXPECT_FALSE(f.leftPanelAction->isChecked());
    EXPECT_EQ(f.folderBox->itemText(1), "/data/ti");

    f.SaveSettings();
    EXPECT_EQ(rig.settings.Read("Settings", "Autoclick Next"), "1");
    // Saving replaces the stored values instead of adding a second spelling.
    int autoclick = 0;
    for (const auto& e : rig.settings.values)
        autoclick += SameSettingName(e.name, "Autoclick Next");
    EXPECT_EQ(autoclick, 1);
}

TEST(Settings, PlacementKeepsTheWholeWindowOnTheScreen)
{
    const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
    const std::string below = std::to_string(room.height() + 5), right = std::to_string(room.width() + 5);
    struct Row {
        std::string top, left, height, state;
        bool kept;  // the stored place and size, unchanged
    } rows[] = {
        {"30", "40", "300", "0", true},
        {"-20", right, "", "0", false},
        {std::to_string(room.height() - 100), "30", "", "0", false},  // the bottom would be cut
        {"0", "0", "5000", "0", false},                               // taller than the screen
        {below, "30", "", "2", true},                                 // maximised: its place is kept
    };
    for (const Row& row : rows) {
        AppRig rig;
        rig.Set("Last", "MainForm Top", row.top);
        rig.Set("Last", "MainForm Left", row.left);
        rig.Set("Last", "MainForm State", row.state);
        if (!row.height.empty())
            rig.Set("Last", "MainForm Height", row.height);
        WizardWindow& f = rig.Create();
        f.show();
        SCOPED_TRACE("top " + row.top + ", height " + row.height);
        f.pageStack->setCurrentIndex(pageFileSelect);
        QCoreApplication::processEvents();
        if (row.height.empty() && row.state == "0" && f.height() < room.height() - 32)
            EXPECT_GE(f.fileInfoScroll->height(), f.fileInfoPanel->minimumSizeHint().height())
                << "the file page's panel needs no scroll bar at the natural size";
        if (row.kept) {
            EXPECT_EQ(std::to_string(f.y()), row.top);
            EXPECT_EQ(std::to_string(f.x()), row.left);
            continue;
        }
        // All of it, with a title bar, where the screen has room.
        EXPECT_GE(f.y(), room.top() + 24);
        EXPECT_GE(f.x(), room.left());
        EXPECT_LE(f.y() + f.height() + 8, room.y() + room.height());
        EXPECT_LE(f.x() + f.width(), room.x() + room.width());
        // Its pages give way down to a 640 x 480 screen.
        EXPECT_LE(f.minimumSizeHint().height() + 32, 480);
        EXPECT_LE(f.minimumSizeHint().width(), 640);
    }
}

TEST(Settings, SaveWritesEverythingInOrder)
{
    AppRig rig;
    rig.Set("Settings", "Check Registry", "0");
    WizardWindow& f = rig.Create();
    rig.settings.writes.clear();
    f.SaveSettings();
    std::vector<std::string> names;
    for (const auto& w : rig.settings.writes)
        names.push_back(w.section + "/" + w.name);
    const std::vector<std::string> expected = {"Settings/Show TI92-files",
                                               "Settings/Show Text-files",
                                               "Settings/Show Fargo1-files",
                                               "Settings/Show Fargo2-files",
                                               "Settings/Autoclick Next",
                                               "Settings/Autocollect Libraries",
                                               "Settings/Ask before replacing variables",
                                               "Settings/Show Extenstionsstring",
                                               "Settings/Fargo1 Librarydir",
                                               "Settings/Fargo2 Librarydir",
                                               "Settings/Cabletype",
                                               "Settings/Port",
                                               "Settings/Show leftside-information",
                                               "Settings/Show topline-information",
                                               "Settings/Device of COM Port 1",
                                               "Settings/Device of COM Port 2",
                                               "Settings/Device of COM Port 3",
                                               "Settings/Device of COM Port 4",
                                               "Last/MainForm Height",
                                               "Last/MainForm Width",
                                               "Last/MainForm Top",
                                               "Last/MainForm Left",
                                               "Last/MainForm State",
                                               "Last/TextForm Height",
                                               "Last/TextForm Width",
                                               "Last/TextForm Top",
                                               "Last/TextForm Left",
                                               "Last/TextForm Stayontop",
                                               "Last/PictureForm Stayontop",
                                               "Last/PictureForm Height",
                                               "Last/PictureForm Width",
                                               "Last/PictureForm Top",
                                               "Last/PictureForm Left",
                                               "Last/FileList Columnwidth 1",
                                               "Last/FileList Columnwidth 2",
                                               "Last/FileList Columnwidth 3",
                                               "Last/FileList Columnwidth 4",
                                               "Last/Last directory history item #1",
                                               "Last/Last directory history item #2",
                                               "Last/Last directory history item #3",
                                               "Last/Last directory history item #4",
                                               "Last/Last directory history item #5"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(rig.settings.Read("Settings", "Check Registry"), "0") << "never written";
    EXPECT_EQ(rig.settings.Read("Settings", "Cabletype"), "1");
    EXPECT_EQ(rig.settings.Read("Settings", "Show Fargo1-files"), "1");
    EXPECT_EQ(rig.settings.Read("Last", "MainForm Height"), "407");
}

TEST(Settings, ThreeHistoryEntriesWriteThreeItems)
{
    AppRig rig;
    rig.Set("Last", "Last directory history item #4", "/keep/four");
    rig.Set("Last", "Last directory history item #5", "/keep/five");
    WizardWindow& f = rig.Create();
    f.folderBox->clear();
    f.folderBox->addItems({"/a", "/b", "/c"});
    f.SaveSettings();
    EXPECT_EQ(rig.settings.Read("Last", "Last directory history item #1"), "/a");
    EXPECT_EQ(rig.settings.Read("Last", "Last directory history item #3"), "/c");
    EXPECT_EQ(rig.settings.Read("Last", "Last directory history item #4"), "/keep/four");
    EXPECT_EQ(rig.settings.Read("Last", "Last directory history item #5"), "/keep/five");
}

TEST(Settings, RoundTripThroughSaveAndLoad)
{
    MemorySettingsStore carried;
    {
        AppRig rig;
        WizardWindow& f = rig.Create();
        f.autoNextBox->setChecked(true);
        f.onLeftPanelToggled();
        f.settings.Fargo2LibDir = "/libs/fargo2/";
        f.settings.AutoCollect = false;
        f.fileFilterDialog->textFilesBox->click();  // text files off
        f.fileList->setColumnWidth(2, 61);
        f.move(40, 50);
        SerialPort::SetStoredDevice(2, "/dev/ttyUSB0");
        f.SaveSettings();
        carried = rig.settings;
    }
    AppRig rig;
    rig.settings = carried;
    WizardWindow& f = rig.Create();
    EXPECT_TRUE(f.autoNextBox->isChecked());
    EXPECT_TRUE(f.leftPanel->isHidden());
    EXPECT_EQ(f.settings.Fargo2LibDir, "/libs/fargo2/");
    EXPECT_FALSE(f.settings.AutoCollect);
    EXPECT_FALSE(f.fileFilterDialog->ShowText());
    EXPECT_EQ(f.fileFilterDialog->ExtensionText(), kDefaultExtensionString);
    EXPECT_EQ(f.fileList->columnWidth(2), 61);
    EXPECT_EQ(f.x(), 40);
    EXPECT_EQ(f.y(), 50);
    EXPECT_EQ(SerialPort::StoredDevice(2), "/dev/ttyUSB0");
}

TEST(IniStore, FindsNamesInAnyCaseAndKeepsOneSpelling)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/linkwise.ini";
    {
        IniSettingsStore store(path);
        store.Write("Settings", "Autocollect Libraries", "1");
        store.Write("Last", "Last directory history item #1", "/home/u/ti,files");
        store.Write("Settings", "Show Extenstionsstring", ".92G;.TXT;");
        store.Flush();
    }
    IniSettingsStore store(path);
    EXPECT_EQ(store.Read("settings", "autocollect libraries"), "1");
    EXPECT_EQ(store.Read("Last", "LAST DIRECTORY HISTORY ITEM #1"), "/home/u/ti,files");
    EXPECT_EQ(store.Read("Settings", "Show Extenstionsstring"), ".92G;.TXT;");
    EXPECT_EQ(store.Read("Settings", "Missing"), std::nullopt);
    store.Write("SETTINGS", "AUTOCOLLECT LIBRARIES", "0");
    store.Flush();
    EXPECT_EQ(store.Read("Settings", "Autocollect Libraries"), "0");
    QSettings raw(QString::fromStdString(path), QSettings::IniFormat);
    EXPECT_EQ(raw.childGroups().size(), 2);
    raw.beginGroup("Settings");
    EXPECT_EQ(raw.childKeys().size(), 2) << raw.childKeys().join("|").toStdString();
}
