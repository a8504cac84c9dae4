#pragma once
#include <gtest/gtest.h>

#include <memory>

#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "tests/support/AutoClock.h"
#include "tests/support/HookEventPump.h"
#include "tests/support/NoParallelPort.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ScriptedSerialDevice.h"

// The link object on the grey serial cable, its far end a scripted line:
// `line` holds what the computer wrote and is fed the calculator's bytes.
struct ScriptedLink {
    AutoClock clock;
    HookEventPump pump;
    ScriptedDialogs dialogs;
    NoParallelPort noPort;
    ScriptedSerialDevice* line = nullptr;
    std::unique_ptr<SerialPort> port;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, noPort}};

    // Call from SetUp: a failed open ends the test there.
    void OpenLine()
    {
        auto device = std::make_unique<ScriptedSerialDevice>();
        line = device.get();
        port = std::make_unique<SerialPort>(std::move(device));
        ASSERT_TRUE(port->OpenPort());
        link.Cabletype = 2;
        link.serialPort = port.get();
    }
};
