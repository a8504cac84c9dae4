#pragma once
#include <memory>
#include <string>
#include <vector>

#include "link/SerialPortInventory.h"
#include "link/Ti92Link.h"
#include "link/UsbCablePipes.h"

// One device and cable the calculator search tries.
struct DoctorCandidate {
    std::string device;  // /dev/ttyUSB0, /dev/parport0, usb:3:7
    std::string byId;    // its stable /dev/serial/by-id name, when it has one
    Cable cable = Cable::Grey;
    std::string description;  // what the device manager knows of it
    bool operator==(const DoctorCandidate&) const = default;
};

// A link on one candidate, for its ready check: it owns the ports it opened
// and closes them when it goes.
class DoctorLink {
public:
    virtual ~DoctorLink() = default;
    virtual Ti92Link& Link() = 0;
};

// Everything the search asks of the machine: what is present, what a device
// node is, who holds it, and opening it. The real one is PosixDoctorSystem;
// tests lay out their own devices and inject the errors.
class DoctorSystem {
public:
    virtual ~DoctorSystem() = default;

    // What is plugged in: the serial devices with what udev knows of them,
    // the USB cables, the parallel ports (/dev/parport0..3 that exist).
    virtual std::vector<SerialPortEntry> SerialPorts() = 0;
    virtual std::vector<UsbCableId> UsbCables() = 0;
    virtual std::vector<std::string> ParallelPorts() = 0;

    enum class Node { Missing, CharDevice, Other };
    // What the path is, without opening it; a usb:BUS:ADDRESS path is a
    // character device while that cable is plugged in.
    virtual Node Look(const std::string& device) = 0;
    // The group owning the device node, for the permission remedy.
    virtual std::string Group(const std::string& device) = 0;
    // The program holding the device, as "minicom (process 4242)", from its
    // lock file and /proc; empty when none is found.
    virtual std::string Holder(const std::string& device) = 0;

    struct Opening {
        int error = 0;            // 0, or the errno of the step that failed
        bool modemLines = false;  // TIOCMGET works (asked for the black cable only)
    };
    // Opens the device as the cable would and lets it go again, sending
    // nothing: ENOTTY when it refuses serial settings or is no parallel
    // port, EBUSY when another program has locked it.
    virtual Opening TryOpen(const std::string& device, Cable cable) = 0;
    // The link on this candidate; null with `why` set when it cannot be opened.
    virtual std::unique_ptr<DoctorLink> OpenLink(const DoctorCandidate& candidate, Clock& clock, EventPump& pump,
                                                 Dialogs& dialogs, std::string& why) = 0;
};
