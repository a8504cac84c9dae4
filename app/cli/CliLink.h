#pragma once
#include <iosfwd>
#include <memory>
#include <optional>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"
#include "link/Clock.h"
#include "link/EventPump.h"
#include "link/ModemLinePortIO.h"
#include "link/PpdevPortIO.h"
#include "link/SerialPort.h"
#include "link/Ti92Link.h"
#include "link/TtyModemLines.h"

// Lets Ctrl-C, SIGTERM and SIGHUP reach a running transfer the way the Abort button does: the
// link's next byte operation then ends with "Operation aborted.".
class InterruptPump : public EventPump {
public:
    void ProcessMessages() override;
    Ti92Link* link = nullptr;
};

// The link object with the cable the options chose, ready to talk. The serial
// port is opened at construction; failing that raises ELinkError at once
// rather than after a time-out.
class CliLink {
public:
    CliLink(const CliOptions& options, std::ostream& err);
    ~CliLink();
    CliLink(const CliLink&) = delete;
    CliLink& operator=(const CliLink&) = delete;

    Ti92Link& tti92() { return fTI92; }
    // The device the cable was opened on, for messages.
    const std::string& Device() const { return fDevice; }
    // Where serial port n of the options leads.
    static std::string SerialDevicePath(const CliOptions& options);

    // 130 after SIGINT, 143 after SIGTERM, 129 after SIGHUP while a link was
    // open; nothing otherwise.
    static std::optional<int> InterruptStatus();
    static void ResetInterrupt();

private:
    SteadyClock fClock;
    InterruptPump fPump;
    ConsoleDialogs fDialogs;
    PpdevPortIO fPortIO;
    SerialPort fSerialPort;
    TtyModemLines fModemLines;
    ModemLinePortIO fBlackCable{fModemLines};
    SerialPort fUsbCable;
    Ti92Link fTI92;
    bool fInterruptInstalled = false;
    std::string fDevice;
};
