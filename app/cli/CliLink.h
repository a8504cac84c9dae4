#pragma once
#include <iosfwd>
#include <memory>

#include "app/cli/CliCommands.h"
#include "app/cli/ConsoleDialogs.h"
#include "link/Clock.h"
#include "link/EventPump.h"
#include "link/PpdevPortIO.h"
#include "link/SerialPort.h"
#include "link/TTI92.h"

// Lets Ctrl-C, SIGTERM and SIGHUP reach a running transfer the way the Abort button does: the
// link's next byte operation then ends with "Operation aborted.".
class InterruptPump : public EventPump {
public:
    void ProcessMessages() override;
    TTI92* link = nullptr;
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

    TTI92& tti92() { return fTI92; }
    // Where serial port n of the options leads.
    static std::string SerialDevicePath(const CliOptions& options);

private:
    SteadyClock fClock;
    InterruptPump fPump;
    ConsoleDialogs fDialogs;
    PpdevPortIO fPortIO;
    TSerialPort fSerialPort;
    TTI92 fTI92;
    bool fInterruptInstalled = false;
};
