#pragma once
#include <QDialog>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/desktop/Shell.h"
#include "app/settings/MemorySettingsStore.h"
#include "app/window/WizardWindow.h"
#include "files/SaveAs92g.h"
#include "files/TempStore.h"
#include "link/DoctorSystem.h"
#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "link/UsbCableDevice.h"
#include "sim/CalculatorLink.h"
#include "sim/SimModemLines.h"
#include "sim/SimSerialDevice.h"
#include "sim/SimUsbCable.h"
#include "sim/VirtualTI92.h"
#include "tests/support/AutoClock.h"
#include "tests/support/HookEventPump.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/ScriptedDialogs.h"

// Remembers what the window asked the desktop to open.
class RecordingShell : public Shell {
public:
    bool OpenAddress(const std::string& url) override
    {
        addresses.push_back(url);
        return opens;
    }
    bool OpenFile(const std::string& path) override
    {
        files.push_back(path);
        return opens;
    }
    bool FileTypesRegistered() override { return registered; }
    void RegisterFileTypes() override
    {
        if (failure)
            throw EFileError(failure);
        registered = true, ++registrations;
    }
    void UnregisterFileTypes() override
    {
        if (failure)
            throw EFileError(failure);
        registered = false, ++unregistrations;
    }
    std::string InstalledEntriesFolder() override { return installedEntries; }
    std::vector<std::string> addresses;
    std::vector<std::string> files;
    bool opens = true;  // false: no browser, no program for the file
    bool registered = true;
    int registrations = 0;
    int unregistrations = 0;
    std::string installedEntries;   // a package's data folder, or none
    const char* failure = nullptr;  // what (un)registering throws
};

// Parallel port registers that only record.
class RecordingPortIO : public PortIO {
public:
    void PortOut(uint16_t address, uint8_t value) override { outs.emplace_back(address, value); }
    uint8_t PortIn(uint16_t) override { return 0x30; }
    std::vector<std::pair<uint16_t, uint8_t>> outs;
};

// A backup file of `calc`'s memory, as the backup task saves it.
inline void WriteBackupFile(const std::string& path, const VirtualTI92& calc, const std::string& comment)
{
    RecordingTransferView view;
    TempStore store(std::filesystem::path(path).parent_path() / "backup-store");
    std::filesystem::create_directories(store.Folder());
    store.Clear();
    store.AddItem(calc.romVersion, kTypeBackup, calc.MemoryImage());
    ASSERT_TRUE(SaveAs92g(view, store, true, path, true, false, comment));
}

// The main window with doubles around it and the virtual TI-92 on its
// graph-link cable. Settings go into `settings` before Create().
struct AppRig {
    AppRig() : calc(VirtualTI92::WithDemoContent()), calcLink(calc), link(LinkEnvironment{clock, pump, dialogs, portIO})
    {
        auto d = std::make_unique<SimSerialDevice>(calcLink);
        device = d.get();
        serial = std::make_unique<SerialPort>(std::move(d));
        auto pipes = std::make_unique<SimUsbCable>(calcLink);
        usb = pipes.get();
        usbPort = std::make_unique<SerialPort>(std::make_unique<UsbCableDevice>(std::move(pipes)));
        link.BlackCable = &blackCable;
        link.UsbCable = usbPort.get();
        for (int n = 1; n <= 8; ++n)
            SerialPort::SetStoredDevice(n, "");
    }
    ~AppRig()
    {
        form.reset();
        for (int n = 1; n <= 8; ++n)
            SerialPort::SetStoredDevice(n, "");
    }

    WizardWindow& Create()
    {
        folder = dir.path().toStdString() + "/";
        form = std::make_unique<WizardWindow>(
            WizardEnvironment{clock, pump, dialogs, settings, shell, link, *serial, folder,
                              [this](QDialog& d) {
                                  modalShown.push_back(d.objectName().toStdString());
                                  return answerModal ? answerModal(d) : static_cast<int>(QDialog::Rejected);
                              },
                              "", parameters, doctorSystem, helpFolder});
        return *form;
    }

    void Set(const std::string& section, const std::string& name, const std::string& value)
    {
        settings.Write(section, name, value);
        settings.writes.clear();
    }

    AutoClock clock;
    HookEventPump pump;
    ScriptedDialogs dialogs;
    MemorySettingsStore settings;
    RecordingShell shell;
    RecordingPortIO portIO;
    VirtualTI92 calc;
    CalculatorLink calcLink;
    SimSerialDevice* device = nullptr;
    std::unique_ptr<SerialPort> serial;
    SimParallelCable bitCable{calcLink};
    SimModemLines modemLines{bitCable};
    ModemLinePortIO blackCable{modemLines};
    SimUsbCable* usb = nullptr;
    std::unique_ptr<SerialPort> usbPort;
    Ti92Link link;
    QTemporaryDir dir;
    std::string folder;
    std::vector<std::string> parameters;   // the command line, set before Create()
    DoctorSystem* doctorSystem = nullptr;  // the machine "Find calculator" searches
    // The help pages as they ship, where the test knows the source tree.
#ifdef LINKWISE_SOURCE_DIR
    std::string helpFolder = LINKWISE_SOURCE_DIR "/docs/help/";
#else
    std::string helpFolder;
#endif
    std::vector<std::string> modalShown;
    std::function<int(QDialog&)> answerModal;
    std::unique_ptr<WizardWindow> form;
};
