#include "link/SerialPortInventory.h"

#include <libudev.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "link/SerialDeviceList.h"

namespace fs = std::filesystem;

namespace {

std::string First(const std::map<std::string, std::string>& p, std::initializer_list<const char*> keys)
{
    for (const char* k : keys)
        if (auto it = p.find(k); it != p.end() && !it->second.empty()) {
            std::string v = it->second;
            // udev's plain ID_VENDOR and ID_MODEL stand for spaces with '_'.
            if (std::string(k) == "ID_VENDOR" || std::string(k) == "ID_MODEL")
                for (char& c : v)
                    if (c == '_')
                        c = ' ';
            return v;
        }
    return {};
}

}  // namespace

std::string SerialPortEntry::Description() const
{
    std::string d = vendor;
    if (!model.empty())
        d += (d.empty() ? "" : " ") + model;
    if (!serial.empty())
        d += (d.empty() ? "" : " ") + std::string("(serial ") + serial + ")";
    return d;
}

UdevDeviceFacts::UdevDeviceFacts() : fUdev(udev_new()) {}

UdevDeviceFacts::~UdevDeviceFacts()
{
    if (fUdev)
        udev_unref(fUdev);
}

std::map<std::string, std::string> UdevDeviceFacts::Properties(const std::string& deviceNode)
{
    std::map<std::string, std::string> properties;
    struct stat st {};
    if (!fUdev || stat(deviceNode.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return properties;
    udev_device* device = udev_device_new_from_devnum(fUdev, 'c', st.st_rdev);
    if (!device)
        return properties;
    for (udev_list_entry* e = udev_device_get_properties_list_entry(device); e; e = udev_list_entry_get_next(e)) {
        const char* name = udev_list_entry_get_name(e);
        const char* value = udev_list_entry_get_value(e);
        if (name && value)
            properties[name] = value;
    }
    if (const char* driver = udev_device_get_driver(udev_device_get_parent(device)))
        properties.emplace("DRIVER", driver);
    udev_device_unref(device);
    return properties;
}

std::vector<SerialPortEntry> SerialPortInventory(DeviceFacts& facts, const std::string& devFolder,
                                                 const std::string& ttyClassFolder)
{
    std::vector<SerialPortEntry> entries;
    std::vector<std::string> links;
    const std::string byIdFolder = devFolder + "/serial/by-id/";
    for (const std::string& path : PresentSerialDevices(devFolder, ttyClassFolder)) {
        if (path.rfind(byIdFolder, 0) == 0) {
            links.push_back(path);
            continue;
        }
        SerialPortEntry e;
        e.device = path;
        const auto p = facts.Properties(path);
        e.vendor = First(p, {"ID_VENDOR_FROM_DATABASE", "ID_VENDOR"});
        e.model = First(p, {"ID_MODEL_FROM_DATABASE", "ID_MODEL"});
        e.serial = First(p, {"ID_SERIAL_SHORT"});
        e.driver = First(p, {"ID_USB_DRIVER", "DRIVER"});
        // The stable name, from udev's own list of links.
        if (auto it = p.find("DEVLINKS"); it != p.end()) {
            std::istringstream words(it->second);
            for (std::string link; words >> link;)
                if (link.find("/serial/by-id/") != std::string::npos)
                    e.byId = link;
        }
        entries.push_back(e);
    }
    // Links udev did not name are matched by where they lead.
    for (const std::string& link : links) {
        std::error_code ec;
        const fs::path target = fs::weakly_canonical(fs::path(link), ec);
        for (SerialPortEntry& e : entries)
            if (e.byId.empty() && !ec && target == fs::weakly_canonical(fs::path(e.device), ec))
                e.byId = link;
    }
    return entries;
}
