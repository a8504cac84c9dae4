#include "app/settings/TSettingsForm.h"

#include <QMenu>
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

#include "link/Dialogs.h"
#include "link/LibusbCablePipes.h"
#include "link/SerialPortInventory.h"
#include "link/SerialPort.h"

namespace {
// The cable list's rows are the stored CableType values.
constexpr int kCableChoices = 4;
constexpr int kUsbCableIndex = 3;
}  // namespace

TSettingsForm::TSettingsForm(Dialogs& dialogs, QWidget* parent) : QDialog(parent), fDialogs(dialogs)
{
    setObjectName("SettingsForm");
    setWindowTitle("Settings");

    auto* cableBox = new QGroupBox("Linkcable", this);
    CableList = new QComboBox(cableBox);
    CableList->setObjectName("CableList");
    CableList->addItems({"$5 - cable", "TI - graphlink", "Black serial cable", "USB cable"});
    PortList = new QComboBox(cableBox);
    PortList->setObjectName("PortList");
    DeviceLabel = new QLabel("Device:", cableBox);
    PortDevice = new QLineEdit(cableBox);
    PortDevice->setObjectName("PortDevice");
    PortDevice->setToolTip("The serial device this port uses, e.g. /dev/ttyUSB0. Leave empty "
                           "for the standard device. LINKWISE_COMn in the environment wins.");
    PickDevice = new QToolButton(cableBox);
    PickDevice->setObjectName("PickDevice");
    PickDevice->setText("...");
    PickDevice->setToolTip("Pick one of the serial devices present");
    PickDevice->setPopupMode(QToolButton::InstantPopup);
    PickDevice->setMenu(new QMenu(PickDevice));
    connect(PickDevice->menu(), &QMenu::aboutToShow, this, &TSettingsForm::FillDeviceMenu);
    auto* deviceRow = new QHBoxLayout;
    deviceRow->setContentsMargins(0, 0, 0, 0);
    deviceRow->addWidget(PortDevice, 1);
    deviceRow->addWidget(PickDevice);
    auto* cableGrid = new QGridLayout(cableBox);
    cableGrid->addWidget(new QLabel("Type of linkcable:", cableBox), 0, 0);
    cableGrid->addWidget(CableList, 0, 1);
    cableGrid->addWidget(new QLabel("Port:", cableBox), 1, 0);
    cableGrid->addWidget(PortList, 1, 1);
    cableGrid->addWidget(DeviceLabel, 2, 0);
    cableGrid->addLayout(deviceRow, 2, 1);

    auto* libBox = new QGroupBox("Fargo", this);
    Lib1 = new QLineEdit(libBox);
    Lib1->setObjectName("Lib1");
    Lib2 = new QLineEdit(libBox);
    Lib2->setObjectName("Lib2");
    Browse1 = new QPushButton("&Browse..", libBox);
    Browse2 = new QPushButton("&Browse..", libBox);
    AutoCollectBox = new QCheckBox("Autocollect Fargo Libraries", libBox);
    StoreFoldersBox = new QCheckBox("Store folders", this);
    AskBeforeReplaceBox = new QCheckBox("Ask before replacing variables on the calculator", this);
    auto* libGrid = new QGridLayout(libBox);
    libGrid->addWidget(new QLabel("Fargo v1.x libraries:", libBox), 0, 0, 1, 2);
    libGrid->addWidget(Lib1, 1, 0);
    libGrid->addWidget(Browse1, 1, 1);
    libGrid->addWidget(new QLabel("Fargo v2.x libraries:", libBox), 2, 0, 1, 2);
    libGrid->addWidget(Lib2, 3, 0);
    libGrid->addWidget(Browse2, 3, 1);
    libGrid->addWidget(AutoCollectBox, 4, 0, 1, 2);

    OkBtn = new QPushButton("OK", this);
    OkBtn->setDefault(true);
    CancelBtn = new QPushButton("Cancel", this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OkBtn);
    buttons->addWidget(CancelBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(cableBox);
    layout->addWidget(libBox);
    layout->addWidget(StoreFoldersBox);
    layout->addWidget(AskBeforeReplaceBox);
    layout->addLayout(buttons);

    connect(CableList, &QComboBox::currentIndexChanged, this, &TSettingsForm::RebuildPortList);
    connect(PortList, &QComboBox::currentIndexChanged, this, &TSettingsForm::PortChanged);
    connect(Browse1, &QPushButton::clicked, this, [this] { Browse(Lib1); });
    connect(Browse2, &QPushButton::clicked, this, [this] { Browse(Lib2); });
    connect(OkBtn, &QPushButton::clicked, this, &TSettingsForm::OkClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    resize(360, 355);
}

void TSettingsForm::Fill(const SettingsRecord& settings)
{
    for (int n = 0; n < 4; ++n)
        fDevices[n] = SerialPort::StoredDevice(n + 1);
    fDevicePort = -1;
    Lib1->setText(QString::fromStdString(settings.Fargo1LibDir));
    Lib2->setText(QString::fromStdString(settings.Fargo2LibDir));
    {
        QSignalBlocker block(CableList);
        CableList->setCurrentIndex(settings.CableType < kCableChoices ? settings.CableType : 1);
    }
    {
        QSignalBlocker block(PortList);
        if (PortList->count() == 0)
            PortList->addItems({"", "", "", ""});
        PortList->setCurrentIndex(settings.Port < 4 ? settings.Port : 0);
    }
    RebuildPortList();
    AutoCollectBox->setChecked(settings.AutoCollect);
    StoreFoldersBox->setChecked(settings.StoreFolders);
    AskBeforeReplaceBox->setChecked(settings.AskBeforeReplace);
}

void TSettingsForm::RebuildPortList()
{
    int selected = PortList->currentIndex();
    {
        QSignalBlocker block(PortList);
        PortList->clear();
        const char* kind = CableList->currentIndex() == 0 ? "LPT Port " : "COM Port ";
        for (int n = 1; n <= 4; ++n)
            PortList->addItem(kind + QString::number(n));
        PortList->setCurrentIndex(selected);
    }
    PortChanged();
}

void TSettingsForm::KeepDevice()
{
    if (fDevicePort >= 0)
        fDevices[fDevicePort] = PortDevice->text().trimmed().toStdString();
}

void TSettingsForm::PortChanged()
{
    KeepDevice();
    int port = PortList->currentIndex();
    // Every cable but the parallel one reaches its device through a COM port.
    bool serial = CableList->currentIndex() != 0;
    PortDevice->setEnabled(serial && port >= 0);
    PickDevice->setEnabled(serial && port >= 0);
    if (serial && port >= 0) {
        fDevicePort = port;
        PortDevice->setText(QString::fromStdString(fDevices[port]));
        // What an empty field means: the environment's device, else the standard one.
        const QByteArray env = qgetenv(("LINKWISE_COM" + std::to_string(port + 1)).c_str());
        PortDevice->setPlaceholderText(!env.isEmpty() ? QString::fromLocal8Bit(env)
                                       : CableList->currentIndex() == kUsbCableIndex ? "the first USB cable"
                                                                                     : "/dev/ttyS" + QString::number(port));
    } else {
        fDevicePort = -1;
        PortDevice->setText(port >= 0 ? "/dev/parport" + QString::number(port) : QString());
    }
}

void TSettingsForm::FillDeviceMenu()
{
    QMenu* menu = PickDevice->menu();
    menu->clear();
    if (CableList->currentIndex() == kUsbCableIndex) {
        const std::vector<std::string> cables = PresentUsbCablePaths();
        for (const std::string& cable : cables) {
            const QString path = QString::fromStdString(cable);
            menu->addAction(path, this, [this, path] { PortDevice->setText(path); });
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
                        [this, path] { PortDevice->setText(path); });
        if (!device.byId.empty()) {
            const QString byId = QString::fromStdString(device.byId);
            menu->addAction(byId, this, [this, byId] { PortDevice->setText(byId); });
        }
    }
    if (devices.empty())
        menu->addAction("(no serial device found)")->setEnabled(false);
}

void TSettingsForm::Browse(QLineEdit* field)
{
    auto chosen = fDialogs.PickDirectory("Select path", field->text().toStdString());
    if (chosen)
        field->setText(QString::fromStdString(*chosen));
}

void TSettingsForm::OkClick()
{
    KeepDevice();
    for (QLineEdit* field : {Lib2, Lib1})
        if (!field->text().isEmpty() && !field->text().endsWith('/'))
            field->setText(field->text() + '/');
    accept();
}

std::string TSettingsForm::Lib1Text() const { return Lib1->text().toStdString(); }
std::string TSettingsForm::Lib2Text() const { return Lib2->text().toStdString(); }
int TSettingsForm::CableIndex() const { return CableList->currentIndex(); }
int TSettingsForm::PortIndex() const { return PortList->currentIndex(); }
bool TSettingsForm::AutoCollect() const { return AutoCollectBox->isChecked(); }
bool TSettingsForm::StoreFolders() const { return StoreFoldersBox->isChecked(); }
bool TSettingsForm::AskBeforeReplace() const { return AskBeforeReplaceBox->isChecked(); }

std::string TSettingsForm::Device(int portNumber) const
{
    return portNumber >= 1 && portNumber <= 4 ? fDevices[portNumber - 1] : std::string();
}
