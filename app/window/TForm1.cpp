#include "app/window/TForm1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <filesystem>

#include "app/desktop/FileTypeCheck.h"
#include "app/window/FileBrowserPanel.h"
#include "app/startup/CommandLineStart.h"
#include "app/window/ReadyLampShape.h"
#include "app/settings/SettingsStore.h"
#include "app/desktop/Shell.h"
#include "app/dialogs/TAboutForm.h"
#include "app/settings/TSettingsForm.h"
#include "app/dialogs/TShowForm.h"
#include "app/window/WebAddresses.h"
#include "link/Dialogs.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"

TForm1::TForm1(FormEnvironment env, QWidget* parent) : QWidget(parent), fEnv(std::move(env))
{
    if (!fEnv.runModal)
        fEnv.runModal = [](QDialog& d) { return d.exec(); };
    StepPages.fill(kEndOfSteps);
    StepPages[0] = pageMenu;

    BuildWidgets();
    ShowForm = new TShowForm(this);
    SettingsForm = new TSettingsForm(fEnv.dialogs, this);
    ConnectHandlers();
    InstallStepActions();
    OnFirstPaintCheck = [this] { CheckFileTypes(fEnv.shell, fEnv.dialogs); };

    // Window creation: not yet painted, settings, the link, the menu.
    FirstPaint = true;
    ParamCommands.ParamMode = false;
    LoadSettings();
    ShowForm->ReadSettings(fEnv.settings);
    Settings.ExtensionString = ShowForm->ExtensionText();
    ReadCommandLine(ParamCommands, fEnv.parameters, fEnv.dialogs, *this,
                    StartupFolders{fEnv.programFolder, ComboBox1->itemText(0).toStdString(),
                                   QDir::tempPath().toStdString()});
    TaskListbox->setCurrentRow(0);
    ConfigureLink();
    PageControl1->setCurrentIndex(pageMenu);
}

TForm1::~TForm1()
{
    if (fBusyCursor)
        QGuiApplication::restoreOverrideCursor();
    if (fEnv.link.CalcReadyIndicator == ReadyLamp)
        fEnv.link.CalcReadyIndicator = nullptr;
}

void TForm1::ConnectHandlers()
{
    for (QToolButton* b : {SpeedButton3, SpeedButton4, SpeedButton1, SpeedButton5})
        connect(b, &QToolButton::clicked, this, [this, b] { TaskButtonClick(b); });
    connect(BackupRadio, &QRadioButton::clicked, this, &TForm1::ReceiveRadioClick);
    connect(VarRadio, &QRadioButton::clicked, this, &TForm1::ReceiveRadioClick);
    connect(NextBtn, &QPushButton::clicked, this, [this] { NextBtnClick(NextBtn); });
    connect(PreviousBtn, &QPushButton::clicked, this, [this] { NextBtnClick(PreviousBtn); });
    connect(CancelBtn, &QPushButton::clicked, this, &TForm1::CancelBtnClick);
    connect(BitBtn6, &QPushButton::clicked, this, &TForm1::SettingsClick);
    connect(ReadyLamp, &ReadyLampShape::MouseUp, this, &TForm1::ReadyLampMouseUp);
    connect(AboutBtn, &QPushButton::clicked, this, &TForm1::AboutClick);
    connect(RemoteBtn, &QPushButton::clicked, this, [this] {
        if (OnRemoteControl)
            OnRemoteControl();
    });
    connect(QuillboxBtn, &QPushButton::clicked, this, &TForm1::QuillboxClick);
    connect(hlpImage, &QToolButton::clicked, this, [this] { HelpClick(false); });
    connect(WhatIsFargoBtn, &QPushButton::clicked, this, &TForm1::WhatIsFargoClick);
    connect(ShowFilesBtn, &QPushButton::clicked, this, &TForm1::ShowFilesClick);
    // Double-clicks move on the way a finished transfer does.
    for (QTreeWidget* list : {ListView1, FileList})
        connect(list, &QTreeWidget::itemDoubleClicked, this, [this] {
            if (!InTransfer())
                ClickNextButton();
        });
    BackupRadio->installEventFilter(this);
    connect(TopMenu, &QAction::triggered, this, [this] {
        TopMenu->setChecked(!TopMenu->isChecked());   // the handler does the toggling
        TopMenuClick();
    });
    connect(LeftMenu, &QAction::triggered, this, [this] {
        LeftMenu->setChecked(!LeftMenu->isChecked());
        LeftMenuClick();
    });
    connect(ComboBox1, &QComboBox::currentIndexChanged, this,
            [this] { ComboBox1->setToolTip(ComboBox1->itemText(0)); });
    // F1 works whatever control has the focus.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { HelpClick(true); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == BackupRadio && event->type() == QEvent::MouseButtonDblClick && !InTransfer())
        ClickNextButton();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Link set-up and shutdown

void TForm1::ConfigureLink()
{
    Ti92Link& link = fEnv.link;
    link.ResetPort();
    link.serialPort = &fEnv.serialPort;
    // Ports beyond the known ones fall back to the first.
    fEnv.serialPort.SetCommPort(static_cast<ComPort>(Settings.Port < 8 ? Settings.Port : 0));
    link.Cabletype = static_cast<uint8_t>(Settings.CableType + 1);
    link.PortAdress = kParallelAddresses[Settings.Port < 4 ? Settings.Port : 0];
    link.CalcReadyIndicator = ReadyLamp;
    Settings.StoreFolders = true;
    if (link.Cabletype != 1)
        link.Open();
}

void TForm1::CloseLink()
{
    if (fLinkClosed)
        return;
    fLinkClosed = true;
    if (fEnv.link.Cabletype != 1)
        fEnv.link.Close();
}

void TForm1::CancelBtnClick()
{
    if (CancelBtn->text() == "E&xit!") {
        SaveSettings();
        CloseLink();
        RequestTerminate();
    } else {
        fEnv.link.Aborted = 1;
    }
}

void TForm1::RequestTerminate()
{
    fTerminateRequested = true;
    // Ends when control is back in the message loop, through the close query.
    QTimer::singleShot(0, this, [this] { close(); });
}

void TForm1::FormCloseQuery()
{
    QFile::remove(QString::fromStdString(Settings.IndexFile));
    QFile::remove(QString::fromStdString(Settings.DataFile));
    SaveSettings();
    CloseLink();
}

void TForm1::closeEvent(QCloseEvent* e)
{
    FormCloseQuery();
    e->accept();
}

void TForm1::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!fFirstShowDone) {
        fFirstShowDone = true;
        QTimer::singleShot(0, this, [this] {
            if (FirstPaint)
                FormFirstPaint();
        });
    }
}

// ---------------------------------------------------------------------------
// Buttons that do not move the wizard

void TForm1::ReadyLampMouseUp()
{
    if (InTransfer())
        return;
    try {
        fEnv.link.PrepareLine();
        fEnv.link.CheckReady();
    } catch (const std::exception& e) {
        NoteLinkFailure(std::current_exception());
        fEnv.dialogs.MessageBox(e.what(), "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
}

void TForm1::SetAboutBox(TAboutForm* about)
{
    fAbout = about;
    if (fAbout)
        fAbout->OpenAddress = [this](const std::string& url) { OpenAddress(url); };
}

void TForm1::AboutClick()
{
    if (fAbout)
        fEnv.runModal(*fAbout);
}

void TForm1::QuillboxClick()
{
    OpenFile(fEnv.programFolder + "quillbox");
}

bool TForm1::OpenAddress(const std::string& url)
{
    if (fEnv.shell.OpenAddress(url))
        return true;
    fEnv.dialogs.MessageBox("The address could not be opened:\r\r" + url +
                                "\r\rNo web browser is set up on this desktop. Copy the address "
                                "into a browser to read the page.",
                            "Linkwise", MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

bool TForm1::OpenFile(const std::string& path)
{
    if (fEnv.shell.OpenFile(path))
        return true;
    std::error_code ignored;
    const std::string reason = std::filesystem::exists(path, ignored)
                                   ? "No program on this desktop opens it."
                                   : "There is no such file.";
    fEnv.dialogs.MessageBox("The file could not be opened:\r\r" + path + "\r\r" + reason, "Linkwise",
                            MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

void TForm1::HelpClick(bool confirmation)
{
    if (InTransfer())
        return;
    MsgResult r = fEnv.dialogs.MessageBox(
        "You will be led to the online help-pages. Do you want to continue?", "Linkwise",
        confirmation ? MsgIcon::Question : MsgIcon::Information, MsgButtons::YesNo);
    if (r != MsgResult::Yes)
        return;
    fLastHelpAddress = kHelpAddress + std::to_string(PageControl1->currentIndex());
    OpenAddress(fLastHelpAddress);
}

std::string TForm1::HelpAddressShown() const
{
    return fLastHelpAddress;
}

void TForm1::WhatIsFargoClick()
{
    OpenAddress(kFargoAddress);
}

void TForm1::ShowFilesClick()
{
    fEnv.runModal(*ShowForm);
    Settings.ExtensionString = ShowForm->ExtensionText();
    Settings.ShowFargo1 = ShowForm->ShowFargo1();
    Settings.ShowFargo2 = ShowForm->ShowFargo2();
    if (PageShown() == pageFileSelect && Browser)
        Browser->ListFilesShowingError();
}

void TForm1::SettingsClick()
{
    TSettingsForm& form = *SettingsForm;
    form.Fill(Settings);
    if (fEnv.runModal(form) != QDialog::Accepted)
        return;
    // The device of the port in use counts as a cable setting too.
    const int portNumber = form.PortIndex() + 1;
    const bool deviceChanged = form.CableIndex() != 0 &&
                               form.Device(portNumber) != SerialPort::StoredDevice(portNumber);
    if (form.CableIndex() != Settings.CableType || form.PortIndex() != Settings.Port ||
        deviceChanged)
        fEnv.dialogs.MessageBox("The new cable-settings will not be active until you restart the "
                                "program",
                                "Linkwise", MsgIcon::Information, MsgButtons::Ok);
    Settings.Fargo1LibDir = form.Lib1Text();
    Settings.Fargo2LibDir = form.Lib2Text();
    Settings.CableType = static_cast<uint8_t>(form.CableIndex());
    Settings.Port = static_cast<uint8_t>(form.PortIndex());
    Settings.StoreFolders = form.StoreFolders();
    Settings.AutoCollect = form.AutoCollect();
    Settings.AskBeforeReplace = form.AskBeforeReplace();
    for (int n = 1; n <= 4; ++n)
        SerialPort::SetStoredDevice(n, form.Device(n));
}

void TForm1::TopMenuClick()
{
    TopMenu->setChecked(!TopMenu->isChecked());
    Panel16->setVisible(TopMenu->isChecked());
}

void TForm1::LeftMenuClick()
{
    LeftMenu->setChecked(!LeftMenu->isChecked());
    Panel1->setVisible(LeftMenu->isChecked());
}

// ---------------------------------------------------------------------------
// Settings

namespace {

QSize ScreenSize()
{
    if (QScreen* s = QGuiApplication::primaryScreen())
        return s->geometry().size();
    return {1024, 768};
}

std::string HistoryName(int k)
{
    return "Last directory history item #" + std::to_string(k);
}

std::string DeviceName(int n)
{
    return "Device of COM Port " + std::to_string(n);
}

}  // namespace

void TForm1::LoadSettings()
{
    LoadChoices();
    const QRect place = LoadMainFormPlace();
    LoadViewerPlaces(place);
    LoadFolderHistory();

    const std::string& folder = fEnv.programFolder;
    const std::string& store = fEnv.storeFolder.empty() ? folder : fEnv.storeFolder;
    Settings.IndexFile = store + "~indx.~92";
    Settings.DataFile = store + "~data.~92";
}

// What the user chose in the settings dialog and the window's menus.
void TForm1::LoadChoices()
{
    SettingsStore& s = fEnv.settings;
    const char* S = kSectionSettings;
    const std::string& folder = fEnv.programFolder;

    Settings.ExtensionString = ReadText(s, S, "Show Extenstionsstring", kDefaultExtensionString);
    Settings.ShowFargo1 = ReadBool(s, S, "Show Fargo1-files", 1);
    Settings.ShowFargo2 = ReadBool(s, S, "Show Fargo2-files", 1);
    Settings.Fargo1LibDir = ReadText(s, S, "Fargo1 Librarydir", folder);
    Settings.Fargo2LibDir = ReadText(s, S, "Fargo2 Librarydir", folder);
    Settings.CableType = static_cast<uint8_t>(ReadInteger(s, S, "Cabletype", 1));
    Settings.Port = static_cast<uint8_t>(ReadInteger(s, S, "Port", 0));
    Settings.CheckRegistry = ReadBool(s, S, "Check Registry", 1);
    for (int n = 1; n <= 4; ++n)
        if (auto device = s.Read(S, DeviceName(n)))
            SerialPort::SetStoredDevice(n, *device);

    Panel1->setVisible(ReadBool(s, S, "Show leftside-information", 1));
    LeftMenu->setChecked(!Panel1->isHidden());
    Panel16->setVisible(ReadBool(s, S, "Show topline-information", 1));
    TopMenu->setChecked(!Panel16->isHidden());
    AutoNext->setChecked(ReadBool(s, S, "Autoclick Next", 0));
    Settings.AutoCollect = ReadBool(s, S, "Autocollect libraries", 1);
    Settings.AskBeforeReplace = ReadBool(s, S, kAskBeforeReplaceName, 1);
}

// The window's size and place, kept on the screen, and the file list's
// column widths; returns the place the window was given.
QRect TForm1::LoadMainFormPlace()
{
    SettingsStore& s = fEnv.settings;
    const char* L = kSectionLast;
    const QSize screen = ScreenSize();
    const int defaultTop = static_cast<int>(screen.height() * 0.1);
    const int defaultLeft = static_cast<int>(screen.width() * 0.1);
    int height = ReadInteger(s, L, "MainForm Height", 407);
    int width = ReadInteger(s, L, "MainForm Width", 638);
    int top = ReadInteger(s, L, "MainForm Top", defaultTop);
    int left = ReadInteger(s, L, "MainForm Left", defaultLeft);
    MainFormState = ReadInteger(s, L, "MainForm State", 0);
    for (int c = 0; c < kFileListColumns; ++c) {
        static const int defaults[kFileListColumns] = {80, 150, 40, 50};
        FileList->setColumnWidth(
            c, ReadInteger(s, L, "FileList Columnwidth " + std::to_string(c + 1), defaults[c]));
    }
    // Keep the window on the screen.
    if ((MainFormState != 2 && top > screen.height()) || top < 0)
        top = defaultTop;
    if ((MainFormState != 2 && left > screen.width()) || left < 0)
        left = defaultLeft;
    // A size no window can have keeps the designed one.
    if (width < 100 || height < 100) {
        width = 638;
        height = 407;
    }
    resize(width, height);
    move(left, top);
    return QRect(left, top, width, height);
}

// The viewers open beside the window unless they were placed before.
void TForm1::LoadViewerPlaces(const QRect& mainForm)
{
    SettingsStore& s = fEnv.settings;
    const char* L = kSectionLast;
    const int top = mainForm.top();
    const int right = mainForm.left() + mainForm.width();
    TextForm.Height = ReadInteger(s, L, "TextForm Height", 130);
    TextForm.Width = ReadInteger(s, L, "TextForm Width", 150);
    TextForm.Top = ReadInteger(s, L, "TextForm Top", top + 130);
    TextForm.Left = ReadInteger(s, L, "TextForm Left", right);
    TextForm.StayOnTop = ReadBool(s, L, "TextForm Stayontop", 1);
    PictureForm.Height = ReadInteger(s, L, "PictureForm Height", 130);
    PictureForm.Width = ReadInteger(s, L, "PictureForm Width", 150);
    PictureForm.Top = ReadInteger(s, L, "PictureForm Top", top);
    PictureForm.Left = ReadInteger(s, L, "PictureForm Left", right);
    PictureForm.StayOnTop = ReadBool(s, L, "PictureForm Stayontop", 1);
}

void TForm1::LoadFolderHistory()
{
    SettingsStore& s = fEnv.settings;
    const std::string& folder = fEnv.programFolder;
    {
        QSignalBlocker block(ComboBox1);
        ComboBox1->clear();
        for (int k = 1; k <= kHistoryItems; ++k)
            ComboBox1->addItem(
                QString::fromStdString(ReadText(s, kSectionLast, HistoryName(k), k == 1 ? folder : "")));
    }
    ComboBox1->setCurrentIndex(0);
    ComboBox1->setToolTip(ComboBox1->itemText(0));
}

void TForm1::SaveSettings()
{
    SettingsStore& s = fEnv.settings;
    const char* S = kSectionSettings;
    const char* L = kSectionLast;

    WriteBool(s, S, "Show TI92-files", ShowForm->ShowTI92());
    WriteBool(s, S, "Show Text-files", ShowForm->ShowText());
    WriteBool(s, S, "Show Fargo1-files", ShowForm->ShowFargo1());
    WriteBool(s, S, "Show Fargo2-files", ShowForm->ShowFargo2());
    WriteBool(s, S, "Autoclick Next", AutoNext->isChecked());
    WriteBool(s, S, "Autocollect Libraries", Settings.AutoCollect);
    WriteBool(s, S, kAskBeforeReplaceName, Settings.AskBeforeReplace);
    s.Write(S, "Show Extenstionsstring", ShowForm->ExtensionText());
    s.Write(S, "Fargo1 Librarydir", Settings.Fargo1LibDir);
    s.Write(S, "Fargo2 Librarydir", Settings.Fargo2LibDir);
    WriteInteger(s, S, "Cabletype", Settings.CableType);
    WriteInteger(s, S, "Port", Settings.Port);
    WriteBool(s, S, "Show leftside-information", !Panel1->isHidden());
    WriteBool(s, S, "Show topline-information", !Panel16->isHidden());
    for (int n = 1; n <= 4; ++n)
        s.Write(S, DeviceName(n), SerialPort::StoredDevice(n));

    const bool normal = !isMaximized() && !isMinimized();
    const QRect r = normal ? QRect(pos(), size()) : normalGeometry();
    WriteInteger(s, L, "MainForm Height", r.height());
    WriteInteger(s, L, "MainForm Width", r.width());
    WriteInteger(s, L, "MainForm Top", r.top());
    WriteInteger(s, L, "MainForm Left", r.left());
    int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    if (!isVisible())
        state = MainFormState;
    WriteInteger(s, L, "MainForm State", state);
    WriteInteger(s, L, "TextForm Height", TextForm.Height);
    WriteInteger(s, L, "TextForm Width", TextForm.Width);
    WriteInteger(s, L, "TextForm Top", TextForm.Top);
    WriteInteger(s, L, "TextForm Left", TextForm.Left);
    WriteBool(s, L, "TextForm Stayontop", TextForm.StayOnTop);
    WriteBool(s, L, "PictureForm Stayontop", PictureForm.StayOnTop);
    WriteInteger(s, L, "PictureForm Height", PictureForm.Height);
    WriteInteger(s, L, "PictureForm Width", PictureForm.Width);
    WriteInteger(s, L, "PictureForm Top", PictureForm.Top);
    WriteInteger(s, L, "PictureForm Left", PictureForm.Left);
    for (int c = 0; c < kFileListColumns; ++c)
        WriteInteger(s, L, "FileList Columnwidth " + std::to_string(c + 1), FileList->columnWidth(c));

    for (int k = 1; k <= kHistoryItems; ++k)
        if (ComboBox1->count() >= k)
            s.Write(L, HistoryName(k), ComboBox1->itemText(k - 1).toStdString());
    s.Flush();
}

void TForm1::ShowAtStart()
{
    if (MainFormState == 2)
        showMaximized();
    else if (MainFormState == 1)
        showMinimized();
    else
        show();
}
