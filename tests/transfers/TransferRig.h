#pragma once
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <string>

#include "files/TempStore.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "sim/CalculatorLink.h"
#include "sim/SimSerialDevice.h"
#include "sim/VirtualTI92.h"
#include "tests/support/AutoClock.h"
#include "tests/support/HookEventPump.h"
#include "tests/support/NoParallelPort.h"
#include "tests/support/RecordingTransferView.h"
#include "tests/support/ScriptedDialogs.h"

// The recording view wired as the window is: transfer mode clears the link's
// abort flag, and pending events go through the event pump (where a test
// presses Abort).
class LinkedView : public RecordingTransferView {
public:
    LinkedView(Ti92Link& link, EventPump& pump) : fLink(link)
    {
        onProcessMessages = [&pump] { pump.ProcessMessages(); };
    }
    void TransferMode(bool on) override
    {
        RecordingTransferView::TransferMode(on);
        if (on)
            fLink.Aborted = 0;
    }

private:
    Ti92Link& fLink;
};

// The link object on the graph-link cable, with the in-process virtual TI-92
// at the other end of an in-memory line, a recording view and a temporary
// store in a fresh folder.
struct SimRig {
    SimRig()
    {
        auto device = std::make_unique<SimSerialDevice>(calculator);
        line = device.get();
        port = std::make_unique<SerialPort>(std::move(device));
        EXPECT_TRUE(port->OpenPort());
        link.Cabletype = 2;
        link.serialPort = port.get();
    }

    // Puts a row into calculatorList as the listing would, selected.
    void Select(const std::string& caption, uint8_t type, int size)
    {
        ListItem row;
        row.caption = caption;
        row.subItems = {TypeName(type), std::to_string(size)};
        row.data = type;
        row.selected = true;
        view.ListViewAdd(ListViewId::Calculator, row);
    }

    VirtualTI92 calc;
    CalculatorLink calculator{calc};
    SimSerialDevice* line = nullptr;
    std::unique_ptr<SerialPort> port;
    AutoClock clock;
    HookEventPump pump;
    ScriptedDialogs dialogs;
    NoParallelPort noPort;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, noPort}};
    LinkedView view{link, pump};
    QTemporaryDir folder;
    TempStore store{folder.path().toStdString()};
};
