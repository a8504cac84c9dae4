#pragma once
// The calculator search's machine in memory: laid-out serial devices with
// made-up udev facts, devices that fail to open with a chosen errno, and
// the in-process virtual TI-92 at the end of every cable. Records every
// device it was asked to open.
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "link/DoctorSystem.h"
#include "link/ModemLinePortIO.h"
#include "link/UsbCableDevice.h"
#include "sim/CalculatorLink.h"
#include "sim/SimModemLines.h"
#include "sim/SimParallelCable.h"
#include "sim/SimSerialDevice.h"
#include "sim/SimUsbCable.h"
#include "sim/VirtualTI92.h"

struct FakeDeviceFacts : DeviceFacts {
    std::map<std::string, std::map<std::string, std::string>> known;
    std::map<std::string, std::string> Properties(const std::string& node) override { return known[node]; }
};

class FakeDoctorSystem : public DoctorSystem {
public:
    struct Device {
        Node node = Node::CharDevice;
        int openError = 0;  // errno of TryOpen
        bool modemLines = true;
        std::string group = "dialout";
        std::string holder;
    };

    // The serial devices under devFolder, as `ports` lists them.
    std::string devFolder;
    std::string ttyClassFolder;
    FakeDeviceFacts facts;
    std::vector<UsbCableId> usbCables;
    std::vector<std::string> parallelPorts;
    std::map<std::string, Device> devices;  // missing ones are not there
    std::vector<std::string> opened;        // every device TryOpen or OpenLink was given

    VirtualTI92 calc = VirtualTI92::WithDemoContent();
    CalculatorLink calcLink{calc};
    SimParallelCable bitCable{calcLink};

    // Lays out root/dev with an FTDI adapter at ttyUSB0 and its by-id name,
    // which it returns; `more` names further nodes to make beside it.
    std::string LayOutAdapter(const std::string& root, std::vector<std::string> more = {})
    {
        devFolder = root + "/dev";
        ttyClassFolder = root + "/sys";
        std::filesystem::create_directories(devFolder + "/serial/by-id");
        more.push_back("ttyUSB0");
        for (const std::string& name : more) {
            std::ofstream(devFolder + "/" + name) << "";
            devices[devFolder + "/" + name] = {};
        }
        const std::string byId = devFolder + "/serial/by-id/usb-FTDI_FT232R_A1-if00-port0";
        std::filesystem::create_symlink("../../ttyUSB0", byId);
        return byId;
    }

    std::vector<SerialPortEntry> SerialPorts() override
    {
        return devFolder.empty() ? std::vector<SerialPortEntry>{}
                                 : SerialPortInventory(facts, devFolder, ttyClassFolder);
    }
    std::vector<UsbCableId> UsbCables() override { return usbCables; }
    std::vector<std::string> ParallelPorts() override { return parallelPorts; }
    Node Look(const std::string& device) override
    {
        auto it = devices.find(device);
        return it == devices.end() ? Node::Missing : it->second.node;
    }
    std::string Group(const std::string& device) override { return devices[device].group; }
    std::string Holder(const std::string& device) override { return devices[device].holder; }
    Opening TryOpen(const std::string& device, Cable) override
    {
        opened.push_back(device);
        return {devices[device].openError, devices[device].modemLines};
    }

    class SimLink : public DoctorLink {
    public:
        SimLink(FakeDoctorSystem& s, Cable cable, Clock& clock, EventPump& pump, Dialogs& dialogs)
            : serial(std::make_unique<SimSerialDevice>(s.calcLink)), modemLines(s.bitCable),
              usb(std::make_unique<UsbCableDevice>(std::make_unique<SimUsbCable>(s.calcLink))),
              link(LinkEnvironment{clock, pump, dialogs, s.bitCable})
        {
            link.Cabletype = static_cast<uint8_t>(cable);
            link.serialPort = &serial;
            link.BlackCable = &blackCable;
            link.UsbCable = &usb;
            if (cable == Cable::Parallel)
                link.ResetPort();
            else
                link.OpenCable();
        }
        ~SimLink() override { link.Close(); }
        Ti92Link& Link() override { return link; }
        SerialPort serial;
        SimModemLines modemLines;
        ModemLinePortIO blackCable{modemLines};
        SerialPort usb;
        Ti92Link link;
    };
    std::unique_ptr<DoctorLink> OpenLink(const DoctorCandidate& c, Clock& clock, EventPump& pump, Dialogs& dialogs,
                                         std::string&) override
    {
        opened.push_back(c.device);
        return std::make_unique<SimLink>(*this, c.cable, clock, pump, dialogs);
    }
};
