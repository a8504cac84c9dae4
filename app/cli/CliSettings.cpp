#include "app/cli/CliSettings.h"

#include <climits>
#include <cstdlib>

#include "app/settings/SettingsStore.h"
#include "link/Exceptions.h"
#include "link/SerialPort.h"

std::string CliSettingsPath()
{
    const char* path = std::getenv("LINKWISE_SETTINGS");
    return path ? path : "";
}

std::string ShortValue(const std::string& value, size_t most)
{
    if (value.size() <= most)
        return value;
    size_t cut = most;
    while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80)
        --cut;  // not inside a UTF-8 character
    return value.substr(0, cut) + "\u2026";
}

CliOptions WithWindowSettings(const CliOptions& options, SettingsStore& settings)
{
    CliOptions o = options;
    const char* S = "Settings";
    // The window stores 0 for the parallel cable, 1 for the grey one, 2 for
    // the black one and 3 for the USB cable; its port number counts from 0.
    static const CliCable kStored[] = {CliCable::Parallel, CliCable::Serial, CliCable::Black, CliCable::Usb};
    const int value = ReadInteger(settings, S, "Cabletype", 1);
    const CliCable stored = value >= 0 && value < 4 ? kStored[value] : CliCable::Serial;
    if (!o.cableGiven)
        o.cable = stored;
    if (!o.portGiven && o.cable == stored) {
        const int port = ReadInteger(settings, S, "Port", 0) + 1;
        if (port >= 1 && port <= (o.cable == CliCable::Parallel ? 4 : 8))
            o.port = port;
    }
    for (int n = 1; n <= 4; ++n) {
        const std::string key = "Device of COM Port " + std::to_string(n);
        const auto device = settings.Read(S, key);
        if (!device)
            continue;
        // No path is that long: the value is damaged, and shown cut.
        if (device->size() >= PATH_MAX) {
            if (n == o.port && o.device.empty() && o.cable != CliCable::Parallel && o.cable != CliCable::Usb)
                throw EFileError("The setting \"" + key + "\" is no device path (" + ShortValue(*device) + ", " +
                                 std::to_string(device->size()) +
                                 " bytes). Choose the device in the window's settings, or give --port.");
            continue;
        }
        SerialPort::SetStoredDevice(n, *device);
    }
    return o;
}
