#pragma once
#include <map>
#include <string>
#include <vector>

// The serial devices present, with what the system's device manager knows of
// them, for `linkwise-cli ports` and the settings window's device list.
struct SerialPortEntry {
    std::string device;  // /dev/ttyUSB0
    std::string byId;    // its stable /dev/serial/by-id name, when it has one
    std::string vendor;
    std::string model;
    std::string serial;  // the adapter's serial number
    std::string driver;
    // "vendor model (serial N)", or empty when nothing is known.
    std::string Description() const;
};

// What the device manager holds for a device node: its properties
// (ID_VENDOR_FROM_DATABASE, ID_MODEL, ID_SERIAL_SHORT, DEVLINKS, ...).
class DeviceFacts {
public:
    virtual ~DeviceFacts() = default;
    virtual std::map<std::string, std::string> Properties(const std::string& deviceNode) = 0;
};

// The real one, asking udev.
class UdevDeviceFacts : public DeviceFacts {
public:
    UdevDeviceFacts();
    ~UdevDeviceFacts() override;
    UdevDeviceFacts(const UdevDeviceFacts&) = delete;
    UdevDeviceFacts& operator=(const UdevDeviceFacts&) = delete;
    std::map<std::string, std::string> Properties(const std::string& deviceNode) override;

private:
    struct udev* fUdev;
};

// Every serial device PresentSerialDevices finds, once each: the by-id links
// are folded into the device they lead to.
std::vector<SerialPortEntry> SerialPortInventory(DeviceFacts& facts, const std::string& devFolder = "/dev",
                                                 const std::string& ttyClassFolder = "/sys/class/tty");
