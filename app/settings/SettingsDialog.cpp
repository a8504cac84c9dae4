#include "app/settings/SettingsDialog.h"

#include <QAbstractItemView>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "app/desktop/Shell.h"
#include "app/settings/CalculatorSearchPanel.h"
#include "app/window/ScreenRoom.h"
#include "app/window/WholeContentsScrollArea.h"
#include "link/Dialogs.h"
#include "link/DoctorSystem.h"
#include "link/SerialPort.h"
#include "link/UsbCableDevice.h"

namespace fs = std::filesystem;

namespace {
// The cable list's rows are the stored CableType values.
constexpr int kCableChoices = 4;
constexpr int kParallelIndex = 0;
constexpr int kUsbCableIndex = 3;
constexpr int kPorts = 4;
const char* const kDash = " \u2014 ";

// LINKWISE_COMn names the device of port n (1..), whatever is stored.
std::string EnvironmentDevice(int portNumber)
{
    const char* value = std::getenv(("LINKWISE_COM" + std::to_string(portNumber)).c_str());
    return value ? value : "";
}

// What an empty stored device stands for.
std::string StandardDevice(int port)
{
    return "/dev/ttyS" + std::to_string(port);
}

// The same device by any name (a by-id link and its target, say).
bool SameDevice(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    if (a.empty() || b.empty())
        return false;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    return !ea && !eb && ca == cb;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A port whose device the environment does not name, so the stored one is
// used: the one in use when it is free.
int FreePort(int port)
{
    if (EnvironmentDevice(port + 1).empty())
        return port;
    for (int n = 0; n < kPorts; ++n)
        if (EnvironmentDevice(n + 1).empty())
            return n;
    return port;
}
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
    deviceList = new QComboBox(cableBox);
    deviceList->setObjectName("deviceList");
    // Long device names must not widen the dialog; the open list shows them whole.
    deviceList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    deviceList->setMinimumContentsLength(20);
    pathEdit = new QLineEdit(cableBox);
    pathEdit->setObjectName("pathEdit");
    pathEdit->setToolTip("The device stored in the settings: an adapter by its /dev/serial/by-id name, so it is "
                         "found again on another USB port. Choose \"Other path\" to type one.");
    auto* cableGrid = new QGridLayout(cableBox);
    cableGrid->addWidget(new QLabel("Type of linkcable:", cableBox), 0, 0);
    cableGrid->addWidget(cableList, 0, 1);
    cableGrid->addWidget(new QLabel("Device:", cableBox), 1, 0);
    cableGrid->addWidget(deviceList, 1, 1);
    cableGrid->addWidget(new QLabel("Path:", cableBox), 2, 0);
    cableGrid->addWidget(pathEdit, 2, 1);
    cableGrid->setColumnStretch(1, 1);

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

    // All but the buttons scrolls on a screen too short for it.
    auto* body = new QWidget(this);
    auto* bodyLayout = new QVBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->addWidget(cableBox);
    bodyLayout->addWidget(libBox);
    bodyLayout->addWidget(storeFoldersBox);
    bodyLayout->addWidget(askBeforeReplaceBox);
    bodyLayout->addWidget(desktopBox);
    bodyLayout->addWidget(searchPanel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new WholeContentsScrollArea(body, this), 1);
    layout->addLayout(buttons);

    connect(cableList, &QComboBox::currentIndexChanged, this, &SettingsDialog::RebuildDeviceList);
    connect(deviceList, &QComboBox::currentIndexChanged, this, &SettingsDialog::onDeviceChosen);
    connect(pathEdit, &QLineEdit::textEdited, this, &SettingsDialog::onPathEdited);
    connect(browse1Button, &QPushButton::clicked, this, [this] { Browse(library1Edit); });
    connect(browse2Button, &QPushButton::clicked, this, [this] { Browse(library2Edit); });
    connect(registerButton, &QPushButton::clicked, this, [this] { onRegisterClicked(true); });
    connect(unregisterButton, &QPushButton::clicked, this, [this] { onRegisterClicked(false); });
    connect(okButton, &QPushButton::clicked, this, &SettingsDialog::onOkClicked);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    resize(470, 355);
}

void SettingsDialog::Fill(const SettingsRecord& settings)
{
    for (int n = 0; n < 4; ++n)
        fDevices[n] = SerialPort::StoredDevice(n + 1);
    library1Edit->setText(QString::fromStdString(settings.Fargo1LibDir));
    library2Edit->setText(QString::fromStdString(settings.Fargo2LibDir));
    fPort = settings.Port < kPorts ? settings.Port : 0;
    {
        QSignalBlocker block(cableList);
        cableList->setCurrentIndex(settings.CableType < kCableChoices ? settings.CableType : 1);
    }
    RebuildDeviceList();
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

bool SettingsDialog::Present(const std::string& path) const
{
    if (fMachine)
        return fMachine->Look(path) != DoctorSystem::Node::Missing;
    std::error_code ec;
    return fs::exists(path, ec);
}

std::vector<SettingsDialog::DeviceChoice> SettingsDialog::ParallelChoices() const
{
    const std::vector<std::string> present = fMachine ? fMachine->ParallelPorts() : std::vector<std::string>{};
    std::vector<DeviceChoice> rows;
    for (int n = 0; n < kPorts; ++n) {
        const std::string path = "/dev/parport" + std::to_string(n);
        const bool there = std::find(present.begin(), present.end(), path) != present.end();
        rows.push_back({Q(path) + (there ? "" : kDash + QString("not present")), path, n});
    }
    return rows;
}

std::vector<SettingsDialog::DeviceChoice> SettingsDialog::UsbChoices() const
{
    std::vector<DeviceChoice> rows{{"The first USB cable found", ""}};
    if (fMachine)
        for (const UsbCableId& id : fMachine->UsbCables())
            rows.push_back(
                {Q(UsbCableDevice::PathOf(id)) + kDash + Q(UsbCableDevice::NameOf(id)), UsbCableDevice::PathOf(id)});
    const std::string stored = fDevices[fPort];
    const bool listed = std::any_of(rows.begin(), rows.end(), [&](const DeviceChoice& r) { return r.path == stored; });
    if (stored.rfind("usb:", 0) == 0 && !listed)
        rows.push_back({Q(stored) + kDash + "not present", stored});
    rows.push_back({"Other path", "", -1, false, true});
    return rows;
}

std::vector<SettingsDialog::DeviceChoice> SettingsDialog::SerialChoices() const
{
    std::vector<DeviceChoice> rows;
    for (int n = 0; n < kPorts; ++n)
        if (const std::string named = EnvironmentDevice(n + 1); !named.empty())
            rows.push_back({Q(named) + kDash + "from LINKWISE_COM" + QString::number(n + 1), named, n, true});
    const size_t named = rows.size();
    const std::vector<SerialPortEntry> present = fMachine ? fMachine->SerialPorts() : std::vector<SerialPortEntry>{};
    for (const SerialPortEntry& e : present) {
        if (std::any_of(rows.begin(), rows.begin() + named,
                        [&](const DeviceChoice& r) { return SameDevice(r.path, e.device); }))
            continue;
        const std::string description = e.Description();
        // An adapter is stored by its stable name.
        rows.push_back(
            {Q(e.device) + (description.empty() ? "" : kDash + Q(description)), e.byId.empty() ? e.device : e.byId});
    }
    // The device in use is listed even when it is not there now.
    if (EnvironmentDevice(fPort + 1).empty()) {
        const std::string current = fDevices[fPort].empty() ? StandardDevice(fPort) : fDevices[fPort];
        if (std::none_of(rows.begin() + named, rows.end(),
                         [&](const DeviceChoice& r) { return SameDevice(r.path, current); }))
            rows.push_back({Q(current) + (Present(current) ? "" : kDash + QString("not present")), current});
    }
    rows.push_back({"Other path", "", -1, false, true});
    return rows;
}

void SettingsDialog::RebuildDeviceList()
{
    const int cable = cableList->currentIndex();
    fChoices = cable == kParallelIndex ? ParallelChoices() : cable == kUsbCableIndex ? UsbChoices() : SerialChoices();
    // The row in use: by port for the parallel cable and the environment's
    // devices, else by the device stored for the port.
    const std::string stored = fDevices[fPort];
    const std::string current = stored.empty() && cable != kUsbCableIndex ? StandardDevice(fPort) : stored;
    const bool named = cable != kParallelIndex && cable != kUsbCableIndex && !EnvironmentDevice(fPort + 1).empty();
    int selected = 0;
    for (size_t i = 0; i < fChoices.size(); ++i) {
        const DeviceChoice& row = fChoices[i];
        const bool match = cable == kParallelIndex || named ? row.port == fPort && !row.other
                           : cable == kUsbCableIndex        ? !row.other && row.path == stored
                                                            : !row.other && SameDevice(row.path, current);
        if (match) {
            selected = static_cast<int>(i);
            break;
        }
    }
    {
        QSignalBlocker block(deviceList);
        deviceList->clear();
        int widest = 0;
        for (const DeviceChoice& row : fChoices) {
            deviceList->addItem(row.text);
            widest = std::max(widest, deviceList->fontMetrics().horizontalAdvance(row.text));
        }
        deviceList->view()->setMinimumWidth(widest + 40);
        deviceList->setCurrentIndex(selected);
    }
    ShowChoice();
}

// The path field shows what OK stores (or the device it stands for); only
// "Other path" is typed into.
void SettingsDialog::ShowChoice()
{
    const int index = deviceList->currentIndex();
    if (index < 0 || index >= static_cast<int>(fChoices.size()))
        return;
    const DeviceChoice& row = fChoices[index];
    const int cable = cableList->currentIndex();
    deviceList->setToolTip(row.text);  // the whole text, which a narrow list cuts
    pathEdit->setReadOnly(!row.other);
    pathEdit->setEnabled(cable != kParallelIndex);
    pathEdit->setPlaceholderText(cable == kUsbCableIndex ? "the first USB cable found" : Q(StandardDevice(fPort)));
    if (cable == kParallelIndex || row.fromEnvironment)
        pathEdit->setText(Q(row.path));
    else if (cable == kUsbCableIndex && !row.other && row.path.empty())
        pathEdit->clear();
    else
        pathEdit->setText(
            Q(fDevices[fPort].empty() && cable != kUsbCableIndex ? StandardDevice(fPort) : fDevices[fPort]));
}

void SettingsDialog::onDeviceChosen(int index)
{
    if (index < 0 || index >= static_cast<int>(fChoices.size()))
        return;
    const DeviceChoice& row = fChoices[index];
    if (row.port >= 0) {
        fPort = row.port;
    } else if (!row.other) {
        fPort = FreePort(fPort);
        // The port's standard device is stored as no device at all.
        fDevices[fPort] = row.path == StandardDevice(fPort) ? "" : row.path;
    }
    ShowChoice();
    if (row.other) {
        pathEdit->setFocus();
        pathEdit->selectAll();
    }
}

void SettingsDialog::onPathEdited(const QString& text)
{
    fPort = FreePort(fPort);
    const std::string path = text.trimmed().toStdString();
    fDevices[fPort] = path == StandardDevice(fPort) ? "" : path;
}

// Selects the row of the device (the environment's when it names it), or
// types it as another path.
void SettingsDialog::ChoosePath(const std::string& path)
{
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < fChoices.size(); ++i) {
            const DeviceChoice& row = fChoices[i];
            if (pass == 0 ? !row.other && !row.fromEnvironment && row.path == path
                          : row.fromEnvironment && SameDevice(row.path, path)) {
                deviceList->setCurrentIndex(static_cast<int>(i));
                onDeviceChosen(static_cast<int>(i));  // also when it was selected already
                return;
            }
        }
    deviceList->setCurrentIndex(static_cast<int>(fChoices.size()) - 1);
    pathEdit->setText(Q(path));
    onPathEdited(Q(path));
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
    const std::string named = EnvironmentDevice(fPort + 1);
    if (cable == kParallelIndex)
        request.settingsDevice = "/dev/parport" + std::to_string(fPort);
    else if (!named.empty() && cable != kUsbCableIndex)
        request.settingsDevice = named;
    else
        request.settingsDevice = fDevices[fPort];
    return request;
}

void SettingsDialog::UseFound(const DoctorCandidate& found)
{
    cableList->setCurrentIndex(CableIndexOf(found.cable));
    if (found.cable == Cable::Parallel) {
        const char last = found.device.empty() ? '0' : found.device.back();
        deviceList->setCurrentIndex(last >= '0' && last <= '3' ? last - '0' : 0);
        return;
    }
    // The USB cable is found again wherever it is plugged in; an adapter by
    // its stable name, which outlasts the order of plugging in.
    ChoosePath(found.cable == Cable::Usb ? "" : found.byId.empty() ? found.device : found.byId);
}

void SettingsDialog::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // As tall as its contents where the screen has room; where it has not,
    // the contents scroll beside a scroll bar and the buttons stay in sight.
    const QSize wanted = size().expandedTo(sizeHint());
    QRect place = FitOnScreen(QRect(pos(), wanted));
    if (place.height() < wanted.height())
        place = FitOnScreen(place.adjusted(0, 0, style()->pixelMetric(QStyle::PM_ScrollBarExtent), 0));
    resize(place.size());
    move(place.topLeft());
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
    return fPort;
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
