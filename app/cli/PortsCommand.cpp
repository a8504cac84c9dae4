#include "app/cli/PortsCommand.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>

#include "app/cli/CliSettings.h"
#include "app/settings/IniSettingsStore.h"
#include "link/LibusbCablePipes.h"
#include "link/SerialPort.h"
#include "link/UsbCableDevice.h"

namespace fs = std::filesystem;

namespace {

// The serial device a link would be opened on now.
std::string DeviceInUse(const CliOptions& options)
{
    IniSettingsStore settings(CliSettingsPath());
    CliOptions o;
    try {
        o = WithWindowSettings(options, settings);
    } catch (const std::exception&) {
        return {};  // a damaged setting marks nothing; the jobs say what is wrong
    }
    if (o.cable == CliCable::Parallel || o.cable == CliCable::Usb)
        return {};
    return o.device.empty() ? SerialPort::DevicePath(o.port) : o.device;
}

bool SameDevice(const std::string& a, const std::string& b)
{
    if (a.empty() || b.empty())
        return false;
    std::error_code ea, eb;
    const fs::path ca = fs::weakly_canonical(a, ea), cb = fs::weakly_canonical(b, eb);
    return ea || eb ? a == b : ca == cb;
}

QString Q(const std::string& s)
{
    return QString::fromStdString(s);
}

// A device named by LINKWISE_COMn that the inventory does not show (a
// pseudo-terminal, say).
struct NamedDevice {
    std::string device;
    std::string variable;
};

std::vector<NamedDevice> EnvironmentDevices(const std::vector<SerialPortEntry>& ports)
{
    std::vector<NamedDevice> named;
    for (int n = 1; n <= 8; ++n) {
        const std::string variable = "LINKWISE_COM" + std::to_string(n);
        const char* value = std::getenv(variable.c_str());
        if (!value || !*value)
            continue;
        const bool listed = std::any_of(ports.begin(), ports.end(),
                                        [&](const SerialPortEntry& p) { return SameDevice(p.device, value); });
        if (!listed)
            named.push_back({value, variable});
    }
    return named;
}

}  // namespace

int ListPorts(CliContext& context, bool json, DeviceFacts& facts, const std::string& devFolder,
              const std::string& ttyClassFolder, const std::vector<UsbCableId>& usbCables)
{
    const std::vector<SerialPortEntry> ports = SerialPortInventory(facts, devFolder, ttyClassFolder);
    const std::string inUse = DeviceInUse(context.options);
    const std::vector<NamedDevice> named = EnvironmentDevices(ports);
    if (json) {
        QJsonArray list;
        for (const SerialPortEntry& p : ports)
            list.append(QJsonObject{{"device", Q(p.device)},
                                    {"byId", p.byId.empty() ? QJsonValue() : QJsonValue(Q(p.byId))},
                                    {"vendor", Q(p.vendor)},
                                    {"model", Q(p.model)},
                                    {"serial", Q(p.serial)},
                                    {"driver", Q(p.driver)},
                                    {"inUse", SameDevice(p.device, inUse)}});
        for (const NamedDevice& d : named)
            list.append(QJsonObject{{"device", Q(d.device)},
                                    {"byId", QJsonValue()},
                                    {"variable", Q(d.variable)},
                                    {"inUse", SameDevice(d.device, inUse)}});
        for (const UsbCableId& c : usbCables)
            list.append(QJsonObject{{"device", Q(UsbCableDevice::PathOf(c))},
                                    {"model", "USB cable"},
                                    {"usbBus", c.bus},
                                    {"usbAddress", c.address}});
        context.out << QJsonDocument(list).toJson(QJsonDocument::Indented).toStdString();
        return exitstatus::kSuccess;
    }
    if (ports.empty() && usbCables.empty() && named.empty()) {
        context.Note("no serial device found");
        return exitstatus::kSuccess;
    }
    for (const SerialPortEntry& p : ports) {
        context.out << (SameDevice(p.device, inUse) ? "* " : "  ") << p.device;
        const std::string description = p.Description();
        if (!description.empty())
            context.out << "  " << description;
        if (!p.driver.empty())
            context.out << "  [" << p.driver << "]";
        context.out << '\n';
        if (!p.byId.empty())
            context.out << "    " << p.byId << '\n';
    }
    for (const NamedDevice& d : named)
        context.out << (SameDevice(d.device, inUse) ? "* " : "  ") << d.device << "  from " << d.variable << '\n';
    for (const UsbCableId& c : usbCables)
        context.out << "  " << UsbCableDevice::PathOf(c) << "  " << UsbCableDevice::NameOf(c) << '\n';
    return exitstatus::kSuccess;
}

int RunPorts(CliContext& context, const ParsedOptions& args)
{
    if (!args.positional.empty())
        throw CliUsageError("takes no arguments, not '" + args.positional.front() + "'");
    UdevDeviceFacts facts;
    LibusbCablePipes usb;
    return ListPorts(context, args.Has("json"), facts, "/dev", "/sys/class/tty", usb.Present());
}
