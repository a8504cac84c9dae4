#include "app/settings/SettingsDialog.h"

#include <QMenu>
#include <QTimer>
#include <QToolButton>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/desktop/Shell.h"
#include "app/settings/CalculatorSearchPanel.h"
#include "link/Dialogs.h"
#include "link/LibusbCablePipes.h"
#include "link/SerialPort.h"
#include "link/SerialPortInventory.h"

namespace {
// The cable list's rows are the stored CableType values.
constexpr int kCableChoices = 4;
constexpr int kUsbCableIndex = 3;
}  // namespace

SettingsDialog::SettingsDialog(Dialogs& dialogs, Shell& shell, QWidget* parent)
    : QDialog(parent), fDialogs(dialogs), fShell(shell)
{
    setObjectName("SettingsDialog");
    setWindowTitle("Settings");

    auto* cableBox = new QGroupBox("Linkcable", this);
    cableList = new QComboBox(cableBox);
    cableList->setObjectName("cableList");
    cableList->addItems(
        {"Parallel cable", "Grey serial cable (TI-GRAPH LINK)", "Black serial cable", "USB cable (silver)"});
    portList = new QComboBox(cableBox);
    portList->setObjectName("portList");
    deviceLabel = new QLabel("Device:", cableBox);
    portDeviceEdit = new QLineEdit(cableBox);
    portDeviceEdit->setObjectName("portDeviceEdit");
    portDeviceEdit->setToolTip("The serial device this port uses, e.g. /dev/ttyUSB0. Leave empty "
                               "for the standard device. LINKWISE_COMn in the environment wins.");
    pickDeviceButton = new QToolButton(cableBox);
    pickDeviceButton->setObjectName("pickDeviceButton");
    pickDeviceButton->setText("...");
    pickDeviceButton->setToolTip("Pick one of the serial devices present");
    pickDeviceButton->setPopupMode(QToolButton::InstantPopup);
    pickDeviceButton->setMenu(new QMenu(pickDeviceButton));
    connect(pickDeviceButton->menu(), &QMenu::aboutToShow, this, &SettingsDialog::FillDeviceMenu);
    auto* deviceRow = new QHBoxLayout;
    deviceRow->setContentsMargins(0, 0, 0, 0);
    deviceRow->addWidget(portDeviceEdit, 1);
    deviceRow->addWidget(pickDeviceButton);
    auto* cableGrid = new QGridLayout(cableBox);
    cableGrid->addWidget(new QLabel("Type of linkcable:", cableBox), 0, 0);
    cableGrid->addWidget(cableList, 0, 1);
    cableGrid->addWidget(new QLabel("Port:", cableBox), 1, 0);
    cableGrid->addWidget(portList, 1, 1);
    cableGrid->addWidget(deviceLabel, 2, 0);
    cableGrid->addLayout(deviceRow, 2, 1);

    auto* libBox = new QGroupBox("Fargo", this);
    library1Edit = new QLineEdit(libBox);
    library1Edit->setObjectName("library1Edit");
    library2Edit = new QLineEdit(libBox);
    library2Edit->setObjectName("library2Edit");
    browse1Button = new QPushButton("&Browse..", libBox);
    browse2Button = new QPushButton("&Browse..", libBox);
    autoCollectBox = new QCheckBox("Autocollect Fargo Libraries", libBox);
    storeFoldersBox = new QCheckBox("Store folders", this);
    askBeforeReplaceBox = new QCheckBox("Ask before replacing variables on the calculator", this);
    auto* libGrid = new QGridLayout(libBox);
    libGrid->addWidget(new QLabel("Fargo v1.x libraries:", libBox), 0, 0, 1, 2);
    libGrid->addWidget(library1Edit, 1, 0);
    libGrid->addWidget(browse1Button, 1, 1);
    libGrid->addWidget(new QLabel("Fargo v2.x libraries:", libBox), 2, 0, 1, 2);
    libGrid->addWidget(library2Edit, 3, 0);
    libGrid->addWidget(browse2Button, 3, 1);
    libGrid->addWidget(autoCollectBox, 4, 0, 1, 2);

    auto* desktopBox = new QGroupBox("TI-92 files on this desktop", this);
    registrationLabel = new QLabel(desktopBox);
    registrationLabel->setWordWrap(true);
    registerButton = new QPushButton("&Use Linkwise for TI-92 files", desktopBox);
    registerButton->setObjectName("registerButton");
    unregisterButton = new QPushButton("Sto&p using Linkwise for TI-92 files", desktopBox);
    unregisterButton->setObjectName("unregisterButton");
    auto* desktopLayout = new QVBoxLayout(desktopBox);
    desktopLayout->addWidget(registrationLabel);
    desktopLayout->addWidget(registerButton);
    desktopLayout->addWidget(unregisterButton);

    searchPanel = new CalculatorSearchPanel(dialogs, this);
    searchPanel->request = [this] { return SearchRequest(); };
    searchPanel->onFound = [this](const DoctorCandidate& found) { UseFound(found); };

    okButton = new QPushButton("OK", this);
    okButton->setDefault(true);
    cancelButton = new QPushButton("Cancel", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cableBox);
    layout->addWidget(libBox);
    layout->addWidget(storeFoldersBox);
    layout->addWidget(askBeforeReplaceBox);
    layout->addWidget(desktopBox);
    layout->addWidget(searchPanel, 1);
    layout->addLayout(buttons);

    connect(cableList, &QComboBox::currentIndexChanged, this, &SettingsDialog::RebuildPortList);
    connect(portList, &QComboBox::currentIndexChanged, this, &SettingsDialog::onPortChanged);
    connect(browse1Button, &QPushButton::clicked, this, [this] { Browse(library1Edit); });
    connect(browse2Button, &QPushButton::clicked, this, [this] { Browse(library2Edit); });
    connect(registerButton, &QPushButton::clicked, this, [this] { onRegisterClicked(true); });
    connect(unregisterButton, &QPushButton::clicked, this, [this] { onRegisterClicked(false); });
    connect(okButton, &QPushButton::clicked, this, &SettingsDialog::onOkClicked);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 355);
}

void SettingsDialog::Fill(const SettingsRecord& settings)
{
    for (int n = 0; n < 4; ++n)
        fDevices[n] = SerialPort::StoredDevice(n + 1);
    fDevicePort = -1;
    library1Edit->setText(QString::fromStdString(settings.Fargo1LibDir));
    library2Edit->setText(QString::fromStdString(settings.Fargo2LibDir));
    {
        QSignalBlocker block(cableList);
        cableList->setCurrentIndex(settings.CableType < kCableChoices ? settings.CableType : 1);
    }
    {
        QSignalBlocker block(portList);
        if (portList->count() == 0)
            portList->addItems({"", "", "", ""});
        portList->setCurrentIndex(settings.Port < 4 ? settings.Port : 0);
    }
    RebuildPortList();
    autoCollectBox->setChecked(settings.AutoCollect);
    storeFoldersBox->setChecked(settings.StoreFolders);
    askBeforeReplaceBox->setChecked(settings.AskBeforeReplace);
    ShowRegistration();
}

void SettingsDialog::ShowRegistration()
{
    const std::string installed = fShell.InstalledEntriesFolder();
    if (!installed.empty()) {
        registrationLabel->setText(QString::fromStdString("Linkwise is installed with its desktop entries in " +
                                                          installed + "; the desktop offers it for TI-92 files."));
        registerButton->hide();
        unregisterButton->hide();
        return;
    }
    const bool registered = fShell.FileTypesRegistered();
    registrationLabel->setText(registered ? "TI-92 files open with Linkwise."
                                          : "TI-92 files do not open with Linkwise.");
    registerButton->setVisible(true);
    unregisterButton->setVisible(true);
    registerButton->setEnabled(!registered);
    unregisterButton->setEnabled(registered);
}

void SettingsDialog::onRegisterClicked(bool use)
{
    try {
        if (use)
            fShell.RegisterFileTypes();
        else
            fShell.UnregisterFileTypes();
    } catch (const std::exception& e) {
        fDialogs.MessageBox(std::string(use ? "Linkwise could not be registered for TI-92 files: "
                                            : "Linkwise's registration for TI-92 files could not be removed: ") +
                                e.what(),
                            "Linkwise", MsgIcon::Error, MsgButtons::Ok);
    }
    ShowRegistration();
}

void SettingsDialog::RebuildPortList()
{
    int selected = portList->currentIndex();
    {
        QSignalBlocker block(portList);
        portList->clear();
        const char* kind = cableList->currentIndex() == 0 ? "LPT Port " : "COM Port ";
        for (int n = 1; n <= 4; ++n)
            portList->addItem(kind + QString::number(n));
        portList->setCurrentIndex(selected);
    }
    onPortChanged();
}

void SettingsDialog::KeepDevice()
{
    if (fDevicePort >= 0)
        fDevices[fDevicePort] = portDeviceEdit->text().trimmed().toStdString();
}

void SettingsDialog::onPortChanged()
{
    KeepDevice();
    int port = portList->currentIndex();
    // Every cable but the parallel one reaches its device through a COM port.
    bool serial = cableList->currentIndex() != 0;
    portDeviceEdit->setEnabled(serial && port >= 0);
    pickDeviceButton->setEnabled(serial && port >= 0);
    if (serial && port >= 0) {
        fDevicePort = port;
        portDeviceEdit->setText(QString::fromStdString(fDevices[port]));
        // What an empty field means: the environment's device, else the standard one.
        const QByteArray env = qgetenv(("LINKWISE_COM" + std::to_string(port + 1)).c_str());
        portDeviceEdit->setPlaceholderText(!env.isEmpty() ? QString::fromLocal8Bit(env)
                                           : cableList->currentIndex() == kUsbCableIndex
                                               ? "the first USB cable"
                                               : "/dev/ttyS" + QString::number(port));
    } else {
        fDevicePort = -1;
        portDeviceEdit->setText(port >= 0 ? "/dev/parport" + QString::number(port) : QString());
    }
}

void SettingsDialog::FillDeviceMenu()
{
    QMenu* menu = pickDeviceButton->menu();
    menu->clear();
    if (cableList->currentIndex() == kUsbCableIndex) {
        const std::vector<std::string> cables = PresentUsbCablePaths();
        for (const std::string& cable : cables) {
            const QString path = QString::fromStdString(cable);
            menu->addAction(path, this, [this, path] { portDeviceEdit->setText(path); });
        }
        if (cables.empty())
            menu->addAction("(no USB cable found)")->setEnabled(false);
        return;
    }
    UdevDeviceFacts facts;
    const std::vector<SerialPortEntry> devices = SerialPortInventory(facts);
    // Each device with what is known of it, then its stable name.
    for (const SerialPortEntry& device : devices) {
        const QString path = QString::fromStdString(device.device);
        const std::string description = device.Description();
        menu->addAction(description.empty() ? path : path + "  (" + QString::fromStdString(description) + ")", this,
                        [this, path] { portDeviceEdit->setText(path); });
        if (!device.byId.empty()) {
            const QString byId = QString::fromStdString(device.byId);
            menu->addAction(byId, this, [this, byId] { portDeviceEdit->setText(byId); });
        }
    }
    if (devices.empty())
        menu->addAction("(no serial device found)")->setEnabled(false);
}

namespace {

// The cable list's rows by cable.
int CableIndexOf(Cable cable)
{
    return cable == Cable::Parallel ? 0 : cable == Cable::Black ? 2 : cable == Cable::Usb ? kUsbCableIndex : 1;
}

}  // namespace

DoctorRequest SettingsDialog::SearchRequest() const
{
    static const Cable kCables[] = {Cable::Parallel, Cable::Grey, Cable::Black, Cable::Usb};
    DoctorRequest request;
    const int cable = cableList->currentIndex();
    request.settingsCable = cable >= 0 && cable < kCableChoices ? kCables[cable] : Cable::Grey;
    const std::string device = portDeviceEdit->text().trimmed().toStdString();
    const QByteArray env = qgetenv(("LINKWISE_COM" + std::to_string(portList->currentIndex() + 1)).c_str());
    if (cable == 0 || !device.empty())
        request.settingsDevice = device;
    else if (!env.isEmpty() && cable != kUsbCableIndex)
        request.settingsDevice = env.toStdString();
    return request;
}

void SettingsDialog::UseFound(const DoctorCandidate& found)
{
    cableList->setCurrentIndex(CableIndexOf(found.cable));
    if (found.cable == Cable::Parallel) {
        const char last = found.device.empty() ? '0' : found.device.back();
        portList->setCurrentIndex(last >= '0' && last <= '3' ? last - '0' : 0);
        return;
    }
    // The USB cable is found again wherever it is plugged in; an adapter by
    // its stable name, which outlasts the order of plugging in.
    portDeviceEdit->setText(QString::fromStdString(found.cable == Cable::Usb ? ""
                                                   : found.byId.empty()      ? found.device
                                                                             : found.byId));
}

void SettingsDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (searchWhenShown) {
        searchWhenShown = false;
        QTimer::singleShot(0, searchPanel, &CalculatorSearchPanel::Find);
    }
}

void SettingsDialog::reject()
{
    if (searchPanel->Searching()) {
        searchPanel->Cancel();
        return;
    }
    QDialog::reject();
}

void SettingsDialog::Browse(QLineEdit* field)
{
    auto chosen = fDialogs.PickDirectory("Select path", field->text().toStdString());
    if (chosen)
        field->setText(QString::fromStdString(*chosen));
}

void SettingsDialog::onOkClicked()
{
    if (searchPanel->Searching())
        return;
    KeepDevice();
    for (QLineEdit* field : {library2Edit, library1Edit})
        if (!field->text().isEmpty() && !field->text().endsWith('/'))
            field->setText(field->text() + '/');
    accept();
}

std::string SettingsDialog::Lib1Text() const
{
    return library1Edit->text().toStdString();
}
std::string SettingsDialog::Lib2Text() const
{
    return library2Edit->text().toStdString();
}
int SettingsDialog::CableIndex() const
{
    return cableList->currentIndex();
}
int SettingsDialog::PortIndex() const
{
    return portList->currentIndex();
}
bool SettingsDialog::AutoCollect() const
{
    return autoCollectBox->isChecked();
}
bool SettingsDialog::StoreFolders() const
{
    return storeFoldersBox->isChecked();
}
bool SettingsDialog::AskBeforeReplace() const
{
    return askBeforeReplaceBox->isChecked();
}

std::string SettingsDialog::Device(int portNumber) const
{
    return portNumber >= 1 && portNumber <= 4 ? fDevices[portNumber - 1] : std::string();
}
