#include "app/window/WizardWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "app/desktop/Shell.h"
#include "app/dialogs/AboutBox.h"
#include "app/dialogs/FileFilterDialog.h"
#include "app/settings/CalculatorSearchPanel.h"
#include "app/settings/DataPlaces.h"
#include "app/settings/SettingsDialog.h"
#include "app/settings/SettingsStore.h"
#include "app/startup/CommandLineStart.h"
#include "app/window/FileBrowserPanel.h"
#include "app/window/ReadyLampShape.h"
#include "app/window/ScreenRoom.h"
#include "link/Dialogs.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"

WizardWindow::WizardWindow(WizardEnvironment env, QWidget* parent) : QWidget(parent), fEnv(std::move(env))
{
    if (!fEnv.runModal)
        fEnv.runModal = [](QDialog& d) { return d.exec(); };
    stepPages.fill(kEndOfSteps);
    stepPages[0] = pageMenu;

    BuildWidgets();
    fileFilterDialog = new FileFilterDialog(this);
    settingsDialog = new SettingsDialog(fEnv.dialogs, fEnv.shell, this);
    settingsDialog->SetMachine(fEnv.doctorSystem);
    if (fEnv.doctorSystem)
        settingsDialog->searchPanel->SetSearch(*fEnv.doctorSystem, fEnv.clock, fEnv.pump, [this] {
            // The search opens the devices itself; the link opens its own
            // again before its next conversation.
            fEnv.serialPort.ClosePort();
            if (fEnv.link.UsbCable)
                fEnv.link.UsbCable->ClosePort();
            if (fEnv.link.BlackCable)
                fEnv.link.BlackCable->Close();
        });
    ConnectHandlers();
    InstallStepActions();

    // Window creation: not yet painted, settings, the link, the menu.
    firstPaintPending = true;
    paramCommands.ParamMode = false;
    LoadSettings();
    fileFilterDialog->ReadSettings(fEnv.settings);
    settings.ExtensionString = fileFilterDialog->ExtensionText();
    ReadCommandLine(paramCommands, fEnv.parameters, fEnv.dialogs, *this,
                    StartupFolders{fEnv.dataFolder, folderBox->itemText(0).toStdString(),
                                   QDir::tempPath().toStdString()});
    stepList->setCurrentRow(0);
    ConfigureLink();
    pageStack->setCurrentIndex(pageMenu);
}

WizardWindow::~WizardWindow()
{
    if (fBusyCursor)
        QGuiApplication::restoreOverrideCursor();
    if (fEnv.link.CalcReadyIndicator == readyLamp)
        fEnv.link.CalcReadyIndicator = nullptr;
}

void WizardWindow::ConnectHandlers()
{
    for (QToolButton* b : {getButton, sendButton, screenshotButton, fargoButton})
        connect(b, &QToolButton::clicked, this, [this, b] { onTaskButtonClicked(b); });
    connect(backupRadio, &QRadioButton::clicked, this, &WizardWindow::onReceiveChoiceClicked);
    connect(variablesRadio, &QRadioButton::clicked, this, &WizardWindow::onReceiveChoiceClicked);
    connect(nextButton, &QPushButton::clicked, this, [this] { onNextClicked(nextButton); });
    connect(previousButton, &QPushButton::clicked, this, [this] { onNextClicked(previousButton); });
    connect(cancelButton, &QPushButton::clicked, this, &WizardWindow::onCancelClicked);
    connect(settingsButton, &QPushButton::clicked, this, &WizardWindow::onSettingsClicked);
    connect(readyLamp, &ReadyLampShape::MouseUp, this, &WizardWindow::onReadyLampClicked);
    connect(readyLamp, &ReadyLampShape::Turned, this,
            [this](uint32_t rgb) { findCalculatorButton->setVisible(rgb == kLampRed && fEnv.doctorSystem); });
    connect(findCalculatorButton, &QPushButton::clicked, this, &WizardWindow::onFindCalculatorClicked);
    connect(aboutButton, &QPushButton::clicked, this, &WizardWindow::onAboutClicked);
    connect(remoteButton, &QPushButton::clicked, this, [this] {
        if (onRemoteControl)
            onRemoteControl();
    });
    connect(quillboxButton, &QPushButton::clicked, this, &WizardWindow::onQuillboxClicked);
    connect(helpButton, &QToolButton::clicked, this, [this] { onHelpClicked(false); });
    connect(whatIsFargoButton, &QPushButton::clicked, this, &WizardWindow::onWhatIsFargoClicked);
    connect(showFilesButton, &QPushButton::clicked, this, &WizardWindow::onShowFilesClicked);
    // Double-clicks move on the way a finished transfer does.
    for (QTreeWidget* list : {calculatorList, fileList})
        connect(list, &QTreeWidget::itemDoubleClicked, this, [this] {
            if (!InTransfer())
                ClickNextButton();
        });
    backupRadio->installEventFilter(this);
    connect(helpLineAction, &QAction::triggered, this, [this] {
        helpLineAction->setChecked(!helpLineAction->isChecked());  // the handler does the toggling
        onHelpLineToggled();
    });
    connect(leftPanelAction, &QAction::triggered, this, [this] {
        leftPanelAction->setChecked(!leftPanelAction->isChecked());
        onLeftPanelToggled();
    });
    connect(folderBox, &QComboBox::currentIndexChanged, this,
            [this] { folderBox->setToolTip(folderBox->itemText(0)); });
    // F1 works whatever control has the focus.
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    connect(f1, &QShortcut::activated, this, [this] { onHelpClicked(true); });
}

bool WizardWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == backupRadio && event->type() == QEvent::MouseButtonDblClick && !InTransfer())
        ClickNextButton();
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Link set-up and shutdown

void WizardWindow::ConfigureLink()
{
    Ti92Link& link = fEnv.link;
    link.ResetPort();
    link.serialPort = &fEnv.serialPort;
    // Ports beyond the known ones fall back to the first.
    fEnv.serialPort.SetCommPort(static_cast<ComPort>(settings.Port < 8 ? settings.Port : 0));
    // The USB cable reads the same port's device (empty: the first cable found).
    if (link.UsbCable)
        link.UsbCable->SetCommPort(fEnv.serialPort.CommPort());
    link.Cabletype = static_cast<uint8_t>(settings.CableType + 1);
    link.PortAdress = kParallelAddresses[settings.Port < 4 ? settings.Port : 0];
    link.CalcReadyIndicator = readyLamp;
    settings.StoreFolders = true;
    if (link.Cabletype != 1)
        link.Open();
}

void WizardWindow::CloseLink()
{
    if (fLinkClosed)
        return;
    fLinkClosed = true;
    if (fEnv.link.Cabletype != 1)
        fEnv.link.Close();
}

void WizardWindow::onCancelClicked()
{
    if (cancelButton->text() == "E&xit!") {
        SaveSettings();
        CloseLink();
        RequestTerminate();
    } else {
        fEnv.link.Aborted = 1;
    }
}

void WizardWindow::RequestTerminate()
{
    fTerminateRequested = true;
    // Ends when control is back in the message loop, through the close query.
    QTimer::singleShot(0, this, [this] { close(); });
}

void WizardWindow::onCloseRequested()
{
    QFile::remove(QString::fromStdString(settings.IndexFile));
    QFile::remove(QString::fromStdString(settings.DataFile));
    SaveSettings();
    CloseLink();
}

void WizardWindow::closeEvent(QCloseEvent* e)
{
    if (!fTerminateRequested && confirmLeaveReceived && !confirmLeaveReceived(true)) {
        e->ignore();
        return;
    }
    onCloseRequested();
    e->accept();
}

void WizardWindow::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!fFirstShowDone) {
        fFirstShowDone = true;
        // Laid out now: as tall as the pages need, as far as the screen allows.
        if (storedWindowState != 2) {
            const QRect place = FitOnScreen(QRect(x(), y(), width(), std::max(height(), NaturalHeight())));
            resize(place.size());
            move(place.topLeft());
        }
        QTimer::singleShot(0, this, [this] {
            if (firstPaintPending)
                onFirstPaint();
        });
    }
}

// ---------------------------------------------------------------------------
// Buttons that do not move the wizard

void WizardWindow::onReadyLampClicked()
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

void WizardWindow::SetAboutBox(AboutBox* about)
{
    fAbout = about;
    if (fAbout)
        fAbout->openAddress = [this](const std::string&) { OpenHelpPage("index.html", ""); };
}

void WizardWindow::onAboutClicked()
{
    if (fAbout)
        fEnv.runModal(*fAbout);
}

void WizardWindow::onQuillboxClicked()
{
    const QString program = QStandardPaths::findExecutable(kQuillboxProgram);
    if (program.isEmpty()) {
        quillboxButton->hide();
        fEnv.dialogs.MessageBox(std::string("Quillbox could not be started: the program ") + kQuillboxProgram +
                                    " is no longer on the search path (PATH).",
                                "Linkwise", MsgIcon::Error, MsgButtons::Ok);
        return;
    }
    OpenFile(program.toStdString());
}

bool WizardWindow::OpenAddress(const std::string& url)
{
    if (fEnv.shell.OpenAddress(url))
        return true;
    fEnv.dialogs.MessageBox("The address could not be opened:\r\r" + url +
                                "\r\rNo web browser is set up on this desktop. Copy the address "
                                "into a browser to read the page.",
                            "Linkwise", MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

bool WizardWindow::OpenFile(const std::string& path)
{
    if (fEnv.shell.OpenFile(path))
        return true;
    std::error_code ignored;
    const std::string reason =
        std::filesystem::exists(path, ignored) ? "No program on this desktop opens it." : "There is no such file.";
    fEnv.dialogs.MessageBox("The file could not be opened:\r\r" + path + "\r\r" + reason, "Linkwise", MsgIcon::Warning,
                            MsgButtons::Ok);
    return false;
}

void WizardWindow::onHelpClicked(bool)
{
    if (InTransfer())
        return;
    OpenHelpPage(TaskHelpPage(currentTask), "step-" + std::to_string(Step()));
}

bool WizardWindow::OpenHelpPage(const std::string& page, const std::string& anchor)
{
    const std::string path = fEnv.helpFolder + page;
    if (!QFileInfo(QString::fromStdString(path)).isFile()) {
        fEnv.dialogs.MessageBox("The help page could not be found:\r\r" + path +
                                    "\r\rLinkwise's help pages are not installed; install Linkwise again.",
                                "Linkwise", MsgIcon::Error, MsgButtons::Ok);
        return false;
    }
    QUrl url = QUrl::fromLocalFile(QString::fromStdString(path));
    if (!anchor.empty())
        url.setFragment(QString::fromStdString(anchor));
    fLastHelpAddress = url.toString().toStdString();
    if (fEnv.shell.OpenAddress(fLastHelpAddress))
        return true;
    fEnv.dialogs.MessageBox("The help page could not be opened:\r\r" + path +
                                "\r\rNo program on this desktop shows web pages. Open the file in a web "
                                "browser to read it.",
                            "Linkwise", MsgIcon::Warning, MsgButtons::Ok);
    return false;
}

std::string WizardWindow::HelpAddressShown() const
{
    return fLastHelpAddress;
}

void WizardWindow::onWhatIsFargoClicked()
{
    OpenHelpPage("fargo.html", "");
}

void WizardWindow::onShowFilesClicked()
{
    fEnv.runModal(*fileFilterDialog);
    settings.ExtensionString = fileFilterDialog->ExtensionText();
    settings.ShowFargo1 = fileFilterDialog->ShowFargo1();
    settings.ShowFargo2 = fileFilterDialog->ShowFargo2();
    if (PageShown() == pageFileSelect && fileBrowser)
        fileBrowser->ListFilesShowingError();
}

void WizardWindow::onSettingsClicked()
{
    SettingsDialog& form = *settingsDialog;
    form.Fill(settings);
    if (fEnv.runModal(form) != QDialog::Accepted)
        return;
    // The device of the port in use counts as a cable setting too.
    const int portNumber = form.PortIndex() + 1;
    const bool deviceChanged =
        form.CableIndex() != 0 && form.Device(portNumber) != SerialPort::StoredDevice(portNumber);
    const bool cableChanged =
        form.CableIndex() != settings.CableType || form.PortIndex() != settings.Port || deviceChanged;
    settings.Fargo1LibDir = form.Lib1Text();
    settings.Fargo2LibDir = form.Lib2Text();
    settings.CableType = static_cast<uint8_t>(form.CableIndex());
    settings.Port = static_cast<uint8_t>(form.PortIndex());
    settings.StoreFolders = form.StoreFolders();
    settings.AutoCollect = form.AutoCollect();
    settings.AskBeforeReplace = form.AskBeforeReplace();
    for (int n = 1; n <= 4; ++n)
        SerialPort::SetStoredDevice(n, form.Device(n));
    if (cableChanged) {
        // The new cable is used at once: the old one's device is let go first.
        if (fEnv.link.Cabletype != 1)
            fEnv.link.Close();
        ConfigureLink();
        ShowStatus("The new cable settings are in use.");
    }
}

void WizardWindow::onFindCalculatorClicked()
{
    if (InTransfer())
        return;
    settingsDialog->searchWhenShown = true;
    onSettingsClicked();
    settingsDialog->searchWhenShown = false;
}

void WizardWindow::onHelpLineToggled()
{
    helpLineAction->setChecked(!helpLineAction->isChecked());
    helpStrip->setVisible(helpLineAction->isChecked());
}

void WizardWindow::onLeftPanelToggled()
{
    leftPanelAction->setChecked(!leftPanelAction->isChecked());
    leftPanel->setVisible(leftPanelAction->isChecked());
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

void WizardWindow::LoadSettings()
{
    LoadChoices();
    const QRect place = LoadMainFormPlace();
    LoadViewerPlaces(place);
    LoadFolderHistory();

    const std::string& store = fEnv.storeFolder.empty() ? fEnv.dataFolder : fEnv.storeFolder;
    settings.IndexFile = store + "~indx.~92";
    settings.DataFile = store + "~data.~92";
}

// What the user chose in the settings dialog and the window's menus.
void WizardWindow::LoadChoices()
{
    SettingsStore& s = fEnv.settings;
    const char* S = kSectionSettings;

    settings.ExtensionString = ReadText(s, S, "Show Extenstionsstring", kDefaultExtensionString);
    settings.ShowFargo1 = ReadBool(s, S, "Show Fargo1-files", 1);
    settings.ShowFargo2 = ReadBool(s, S, "Show Fargo2-files", 1);
    settings.Fargo1LibDir = StoredFargoLibraryFolder(s, 1, fEnv.dataFolder);
    settings.Fargo2LibDir = StoredFargoLibraryFolder(s, 2, fEnv.dataFolder);
    settings.CableType = static_cast<uint8_t>(ReadInteger(s, S, "Cabletype", 1));
    settings.Port = static_cast<uint8_t>(ReadInteger(s, S, "Port", 0));
    settings.CheckRegistry = ReadBool(s, S, "Check Registry", 1);
    for (int n = 1; n <= 4; ++n)
        if (auto device = s.Read(S, DeviceName(n)))
            SerialPort::SetStoredDevice(n, *device);

    leftPanel->setVisible(ReadBool(s, S, "Show leftside-information", 1));
    leftPanelAction->setChecked(!leftPanel->isHidden());
    helpStrip->setVisible(ReadBool(s, S, "Show topline-information", 1));
    helpLineAction->setChecked(!helpStrip->isHidden());
    autoNextBox->setChecked(ReadBool(s, S, "Autoclick Next", 0));
    settings.AutoCollect = ReadBool(s, S, "Autocollect libraries", 1);
    settings.AskBeforeReplace = ReadBool(s, S, kAskBeforeReplaceName, 1);
}

// The window's size and place, kept on the screen, and the file list's
// column widths; returns the place the window was given.
QRect WizardWindow::LoadMainFormPlace()
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
    storedWindowState = ReadInteger(s, L, "MainForm State", 0);
    for (int c = 0; c < kFileListColumns; ++c) {
        static const int defaults[kFileListColumns] = {80, 150, 40, 50};
        fileList->setColumnWidth(c, ReadInteger(s, L, "FileList Columnwidth " + std::to_string(c + 1), defaults[c]));
    }
    // Keep the window on the screen.
    if ((storedWindowState != 2 && top > screen.height()) || top < 0)
        top = defaultTop;
    if ((storedWindowState != 2 && left > screen.width()) || left < 0)
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

// Tall enough for every page: the page stack's own hint follows the page
// shown, whose text wraps.
int WizardWindow::NaturalHeight() const
{
    int pages = 0;
    for (const QWidget* page : pageWidgets)
        pages = std::max(pages, page->sizeHint().height());
    return sizeHint().height() + std::max(0, pages - pageStack->sizeHint().height());
}

// The viewers open beside the window unless they were placed before.
void WizardWindow::LoadViewerPlaces(const QRect& mainForm)
{
    SettingsStore& s = fEnv.settings;
    const char* L = kSectionLast;
    const int top = mainForm.top();
    const int right = mainForm.left() + mainForm.width();
    textViewerPlace.Height = ReadInteger(s, L, "TextForm Height", 130);
    textViewerPlace.Width = ReadInteger(s, L, "TextForm Width", 150);
    textViewerPlace.Top = ReadInteger(s, L, "TextForm Top", top + 130);
    textViewerPlace.Left = ReadInteger(s, L, "TextForm Left", right);
    textViewerPlace.StayOnTop = ReadBool(s, L, "TextForm Stayontop", 1);
    pictureViewerPlace.Height = ReadInteger(s, L, "PictureForm Height", 130);
    pictureViewerPlace.Width = ReadInteger(s, L, "PictureForm Width", 150);
    pictureViewerPlace.Top = ReadInteger(s, L, "PictureForm Top", top);
    pictureViewerPlace.Left = ReadInteger(s, L, "PictureForm Left", right);
    pictureViewerPlace.StayOnTop = ReadBool(s, L, "PictureForm Stayontop", 1);
}

void WizardWindow::LoadFolderHistory()
{
    SettingsStore& s = fEnv.settings;
    // The file page starts in the folder used last, else the home folder; a
    // program folder stored by an older version counts as none.
    const std::string home = QDir::homePath().toStdString() + "/";
    {
        QSignalBlocker block(folderBox);
        folderBox->clear();
        for (int k = 1; k <= kHistoryItems; ++k) {
            std::string folder = ReadText(s, kSectionLast, HistoryName(k), "");
            if (IsProgramFolder(folder))
                folder.clear();
            if (k == 1 && folder.empty())
                folder = home;
            folderBox->addItem(QString::fromStdString(folder));
        }
    }
    folderBox->setCurrentIndex(0);
    folderBox->setToolTip(folderBox->itemText(0));
}

void WizardWindow::SaveSettings()
{
    SettingsStore& s = fEnv.settings;
    const char* S = kSectionSettings;
    const char* L = kSectionLast;

    WriteBool(s, S, "Show TI92-files", fileFilterDialog->ShowTI92());
    WriteBool(s, S, "Show Text-files", fileFilterDialog->ShowText());
    WriteBool(s, S, "Show Fargo1-files", fileFilterDialog->ShowFargo1());
    WriteBool(s, S, "Show Fargo2-files", fileFilterDialog->ShowFargo2());
    WriteBool(s, S, "Autoclick Next", autoNextBox->isChecked());
    WriteBool(s, S, "Autocollect Libraries", settings.AutoCollect);
    WriteBool(s, S, kAskBeforeReplaceName, settings.AskBeforeReplace);
    s.Write(S, "Show Extenstionsstring", fileFilterDialog->ExtensionText());
    s.Write(S, "Fargo1 Librarydir", settings.Fargo1LibDir);
    s.Write(S, "Fargo2 Librarydir", settings.Fargo2LibDir);
    WriteInteger(s, S, "Cabletype", settings.CableType);
    WriteInteger(s, S, "Port", settings.Port);
    WriteBool(s, S, "Show leftside-information", !leftPanel->isHidden());
    WriteBool(s, S, "Show topline-information", !helpStrip->isHidden());
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
        state = storedWindowState;
    WriteInteger(s, L, "MainForm State", state);
    WriteInteger(s, L, "TextForm Height", textViewerPlace.Height);
    WriteInteger(s, L, "TextForm Width", textViewerPlace.Width);
    WriteInteger(s, L, "TextForm Top", textViewerPlace.Top);
    WriteInteger(s, L, "TextForm Left", textViewerPlace.Left);
    WriteBool(s, L, "TextForm Stayontop", textViewerPlace.StayOnTop);
    WriteBool(s, L, "PictureForm Stayontop", pictureViewerPlace.StayOnTop);
    WriteInteger(s, L, "PictureForm Height", pictureViewerPlace.Height);
    WriteInteger(s, L, "PictureForm Width", pictureViewerPlace.Width);
    WriteInteger(s, L, "PictureForm Top", pictureViewerPlace.Top);
    WriteInteger(s, L, "PictureForm Left", pictureViewerPlace.Left);
    for (int c = 0; c < kFileListColumns; ++c)
        WriteInteger(s, L, "FileList Columnwidth " + std::to_string(c + 1), fileList->columnWidth(c));

    for (int k = 1; k <= kHistoryItems; ++k)
        if (folderBox->count() >= k)
            s.Write(L, HistoryName(k), folderBox->itemText(k - 1).toStdString());
    s.Flush();
}

void WizardWindow::ShowAtStart()
{
    if (storedWindowState == 2)
        showMaximized();
    else if (storedWindowState == 1)
        showMinimized();
    else
        show();
}
