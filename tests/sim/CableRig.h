#pragma once
// The link object on any of the four cables with the in-process virtual
// TI-92 at the far end, a recording view and a temporary store.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <algorithm>
#include <memory>

#include "files/TempStore.h"
#include "link/ModemLinePortIO.h"
#include "link/Ti92Link.h"
#include "link/UsbCableDevice.h"
#include "sim/SimModemLines.h"
#include "sim/SimParallelCable.h"
#include "sim/SimSerialDevice.h"
#include "sim/SimUsbCable.h"
#include "tests/support/AutoClock.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/ScriptedDialogs.h"
#include "transfers/DirectoryListing.h"
#include "transfers/VariableReceive.h"

struct Rig {
    explicit Rig(int cable, const ModemLineWiring& wiring = kBlackCableWiring)
        : calc(VirtualTI92::WithDemoContent()), link(calc), cableIO(link), modemLines(cableIO),
          blackCable(modemLines, wiring), ti(LinkEnvironment{clock, pump, dialogs, cableIO})
    {
        auto device = std::make_unique<SimSerialDevice>(link);
        serialDevice = device.get();
        port = std::make_unique<SerialPort>(std::move(device));
        port->OpenPort();
        auto pipes = std::make_unique<SimUsbCable>(link);
        usb = pipes.get();
        usbPort = std::make_unique<SerialPort>(std::make_unique<UsbCableDevice>(std::move(pipes)));
        ti.Cabletype = static_cast<uint8_t>(cable);
        ti.serialPort = port.get();
        ti.BlackCable = &blackCable;
        ti.UsbCable = usbPort.get();
        if (cable > 2) {
            EXPECT_EQ(ti.OpenCable(), "");
        }
    }

    // The listing as the window runs it; the rows' captions and sizes.
    std::vector<std::pair<std::string, std::string>> List()
    {
        EXPECT_TRUE(FetchDirectoryList(ti, view, ListViewId::Calculator)) << Errors();
        std::vector<std::pair<std::string, std::string>> rows;
        for (const ListItem& row : view.listViews[ListViewId::Calculator])
            rows.emplace_back(row.caption, row.subItems.at(1));
        return rows;
    }
    // Lists, then receives these rows into the store as the window does.
    bool Receive(const std::vector<std::string>& names)
    {
        List();
        for (ListItem& row : view.listViews[ListViewId::Calculator])
            row.selected = std::find(names.begin(), names.end(), row.caption) != names.end();
        return ReceiveAll(ti, view, store, false);
    }
    std::vector<std::string> Stored()
    {
        std::vector<std::string> names;
        for (const IndexRecord& r : store.ReadIndex())
            names.push_back(r.name);
        return names;
    }
    std::string Errors() const
    {
        std::string all;
        for (const std::string& e : view.errorDialogs)
            all += e + "\n";
        return all;
    }

    AutoClock clock;
    NullEventPump pump;
    ScriptedDialogs dialogs;
    VirtualTI92 calc;
    CalculatorLink link;
    SimParallelCable cableIO;
    SimModemLines modemLines;
    ModemLinePortIO blackCable;
    SimSerialDevice* serialDevice = nullptr;
    std::unique_ptr<SerialPort> port;
    SimUsbCable* usb = nullptr;
    std::unique_ptr<SerialPort> usbPort;
    Ti92Link ti;
    RecordingTransferView view;
    QTemporaryDir folder;
    TempStore store{folder.path().toStdString()};
};

inline const char* CableName(int cable)
{
    static const char* const kNames[] = {"", "Parallel", "Serial", "Black", "Usb"};
    return kNames[cable];
}
