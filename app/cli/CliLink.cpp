#include "app/cli/CliLink.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "link/Exceptions.h"

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
// Ctrl-C, a kill and a closed terminal all end a transfer the same way:
// as an abort, so the port is closed and the private store removed.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[3];

void OnInterrupt(int)
{
    gInterrupted = 1;
}

}  // namespace

void InterruptPump::ProcessMessages()
{
    if (gInterrupted && link)
        link->Aborted = 1;
}

std::string CliLink::SerialDevicePath(const CliOptions& options)
{
    return options.device.empty() ? TSerialPort::DevicePath(options.port) : options.device;
}

CliLink::CliLink(const CliOptions& options, std::ostream& err)
    : fDialogs(err), fTI92(LinkEnvironment{fClock, fPump, fDialogs, fPortIO})
{
    fPump.link = &fTI92;
    fTI92.TimeOut = static_cast<uint16_t>(options.timeoutMs);

    if (options.cable == CliCable::Parallel) {
        fTI92.Cabletype = 1;
        fTI92.PortAdress = PpdevPortIO::BaseAddress(options.port - 1);
        if (!fPortIO.Available(options.port - 1))
            err << "linkwise-cli: warning: /dev/parport" << options.port - 1
                << " cannot be claimed; nobody will answer\n";
        fTI92.ResetPort();
    } else {
        fTI92.Cabletype = 2;
        // A device given on the command line beats the environment.
        if (!options.device.empty())
            setenv(("LINKWISE_COM" + std::to_string(options.port)).c_str(), options.device.c_str(), 1);
        fSerialPort.SetCommPort(static_cast<TCommPort>(options.port - 1));
        fTI92.SerialPort = &fSerialPort;
        if (!fSerialPort.OpenPort())
            throw ELinkError("An error occured while opening the comport!\r" + fSerialPort.OpenError());
    }

    gInterrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;  // a second one ends the program at once
    sigemptyset(&action.sa_mask);
    fInterruptInstalled = true;
    for (int i = 0; i < 3; ++i)
        fInterruptInstalled = sigaction(kEndingSignals[i], &action, &gPrevious[i]) == 0 && fInterruptInstalled;
}

CliLink::~CliLink()
{
    if (fInterruptInstalled)
        for (int i = 0; i < 3; ++i)
            sigaction(kEndingSignals[i], &gPrevious[i], nullptr);
    if (fTI92.Cabletype == 2)
        fTI92.Close();
}
