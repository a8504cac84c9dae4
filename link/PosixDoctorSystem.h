#pragma once
#include <string>

#include "link/DoctorSystem.h"

// The calculator search on this machine: udev, libusb, the device nodes
// under /dev, lock files and /proc.
class PosixDoctorSystem : public DoctorSystem {
public:
    std::vector<SerialPortEntry> SerialPorts() override;
    std::vector<UsbCableId> UsbCables() override;
    std::vector<std::string> ParallelPorts() override;
    Node Look(const std::string& device) override;
    std::string Group(const std::string& device) override;
    std::string Holder(const std::string& device) override;
    Opening TryOpen(const std::string& device, Cable cable) override;
    std::unique_ptr<DoctorLink> OpenLink(const DoctorCandidate& candidate, Clock& clock, EventPump& pump,
                                         Dialogs& dialogs, std::string& why) override;
};
