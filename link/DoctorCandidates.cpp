#include "link/DoctorCandidates.h"

#include <algorithm>
#include <filesystem>

#include "link/UsbCableDevice.h"

namespace fs = std::filesystem;

namespace {

bool IsUsbPath(const std::string& device)
{
    return device.rfind("usb", 0) == 0;
}

// Only usb-serial drivers make ttyUSB devices; ttyACM ones are boards,
// printers and modems that a mere open can reset.
bool IsUsbSerialAdapter(const SerialPortEntry& entry)
{
    return fs::path(entry.device).filename().string().rfind("ttyUSB", 0) == 0;
}

std::string Canonical(const std::string& device)
{
    std::error_code ec;
    const fs::path p = fs::weakly_canonical(device, ec);
    return ec ? device : p.string();
}

class CandidateList {
public:
    explicit CandidateList(const std::optional<Cable>& only) : fOnly(only) {}
    void Add(const std::string& device, Cable cable, const SerialPortEntry* entry = nullptr)
    {
        if (fOnly && *fOnly != cable)
            return;
        const std::string key = Canonical(device);
        for (const DoctorCandidate& c : list)
            if (c.cable == cable && Canonical(c.device) == key)
                return;
        DoctorCandidate c{device, {}, cable, {}};
        if (entry) {
            c.byId = entry->byId;
            c.description = entry->Description();
            if (!entry->driver.empty())
                c.description += (c.description.empty() ? "" : " ") + std::string("[") + entry->driver + "]";
        }
        list.push_back(c);
    }
    // Grey and black both run on a serial adapter; the settings' one first.
    void AddSerial(const std::string& device, Cable first, const SerialPortEntry* entry = nullptr)
    {
        Add(device, first == Cable::Black ? Cable::Black : Cable::Grey, entry);
        Add(device, first == Cable::Black ? Cable::Grey : Cable::Black, entry);
    }
    std::vector<DoctorCandidate> list;

private:
    std::optional<Cable> fOnly;
};

const SerialPortEntry* EntryOf(const std::vector<SerialPortEntry>& ports, const std::string& device)
{
    const std::string key = Canonical(device);
    for (const SerialPortEntry& p : ports)
        if (Canonical(p.device) == key)
            return &p;
    return nullptr;
}

Cable CableOfDevice(const std::string& device, Cable otherwise)
{
    if (IsUsbPath(device))
        return Cable::Usb;
    if (device.find("parport") != std::string::npos)
        return Cable::Parallel;
    return otherwise;
}

}  // namespace

std::vector<DoctorCandidate> DoctorCandidates(const DoctorRequest& request, DoctorSystem& system)
{
    const std::vector<SerialPortEntry> ports = system.SerialPorts();
    if (!request.device.empty()) {
        CandidateList named(std::nullopt);
        const Cable cable = request.cable.value_or(CableOfDevice(request.device, request.settingsCable));
        if (request.cable || cable == Cable::Usb || cable == Cable::Parallel)
            named.Add(request.device, cable, EntryOf(ports, request.device));
        else
            named.AddSerial(request.device, cable, EntryOf(ports, request.device));
        return named.list;
    }

    CandidateList found(request.cable);
    if (!request.settingsDevice.empty())
        found.Add(request.settingsDevice, request.settingsCable, EntryOf(ports, request.settingsDevice));
    const Cable serialFirst = request.cable.value_or(request.settingsCable);
    for (const SerialPortEntry& p : ports)
        if (IsUsbSerialAdapter(p))
            found.AddSerial(p.device, serialFirst, &p);
    const std::vector<UsbCableId> cables = system.UsbCables();
    for (const UsbCableId& id : cables)
        found.Add(UsbCableDevice::PathOf(id), Cable::Usb);
    // Asked for the USB cable with none plugged in: say so in a row.
    if (cables.empty() && request.cable == Cable::Usb)
        found.Add("usb", Cable::Usb);
    for (const std::string& port : system.ParallelPorts())
        found.Add(port, Cable::Parallel);
    return found.list;
}
