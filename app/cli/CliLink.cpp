#include "app/cli/CliLink.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ostream>

#include "app/cli/CliSettings.h"
#include "app/cli/PacketTrace.h"
#include "link/DeviceFitness.h"
#include "link/Exceptions.h"
#include "link/LibusbCablePipes.h"
#include "link/PosixSerialDevice.h"
#include "link/UsbCableDevice.h"

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
// Ctrl-C, a kill and a closed terminal all end a transfer the same way:
// as an abort, so the port is closed and the private store removed.
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction gPrevious[3];

void OnInterrupt(int signal)
{
    gInterrupted = signal;
}

}  // namespace

void InterruptPump::ProcessMessages()
{
    if (gInterrupted && link)
        link->Aborted = 1;
}

std::optional<int> CliLink::InterruptStatus()
{
    if (!gInterrupted)
        return std::nullopt;
    return 128 + gInterrupted;
}

void CliLink::ResetInterrupt()
{
    gInterrupted = 0;
}

std::string CliLink::SerialDevicePath(const CliOptions& options)
{
    return options.device.empty() ? SerialPort::DevicePath(options.port) : options.device;
}

CliLink::CliLink(const CliOptions& options, std::ostream& err)
    : fDialogs(err, "linkwise-cli: " + options.command + ": ", options.verbose),
      // -v shows every packet on the serial line.
      fSerialPort(options.verbose ? std::make_unique<TracingSerialDevice>(std::make_unique<PosixSerialDevice>(), err)
                                  : nullptr),
      fUsbCable(std::make_unique<UsbCableDevice>(std::make_unique<LibusbCablePipes>())),
      fTI92(LinkEnvironment{fClock, fPump, fDialogs, fPortIO})
{
    fPump.link = &fTI92;
    fTI92.TimeOut = static_cast<uint16_t>(options.timeoutMs);

    if (options.cable == CliCable::Parallel) {
        fTI92.Cabletype = 1;
        fDevice = "/dev/parport" + std::to_string(options.port - 1);
        if (const std::string unfit = UnfitDevice(fDevice, true); !unfit.empty())
            throw ELinkError(fDevice + " is " + unfit);
        fTI92.PortAdress = PpdevPortIO::BaseAddress(options.port - 1);
        if (!fPortIO.Available(options.port - 1))
            err << "linkwise-cli: " << options.command << ": warning: " << fDevice
                << " cannot be claimed; nobody will answer\n";
        fTI92.ResetPort();
    } else {
        fTI92.Cabletype = static_cast<uint8_t>(options.cable == CliCable::Black ? Cable::Black
                                               : options.cable == CliCable::Usb ? Cable::Usb
                                                                                : Cable::Grey);
        // A device given on the command line beats the environment.
        if (!options.device.empty())
            setenv(("LINKWISE_COM" + std::to_string(options.port)).c_str(), options.device.c_str(), 1);
        fDevice = SerialPort::DevicePath(options.port);
        // Anything but a serial line is refused before a byte is written to it.
        if (options.cable != CliCable::Usb)
            if (const std::string unfit = UnfitDevice(fDevice, false); !unfit.empty())
                throw ELinkError(fDevice + " is " + unfit);
        fSerialPort.SetCommPort(static_cast<ComPort>(options.port - 1));
        fUsbCable.SetCommPort(static_cast<ComPort>(options.port - 1));
        fTI92.serialPort = &fSerialPort;
        fTI92.BlackCable = &fBlackCable;
        fTI92.UsbCable = &fUsbCable;
        if (const std::string reason = fTI92.OpenCable(); !reason.empty())
            throw ELinkError("An error occurred while opening the cable's device!\r" + reason);
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
    if (fTI92.Cabletype != 1)
        fTI92.Close();
}
