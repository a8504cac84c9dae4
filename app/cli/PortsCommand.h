#pragma once
#include <string>
#include <vector>

#include "app/cli/CliCommands.h"
#include "link/SerialPortInventory.h"
#include "link/UsbCablePipes.h"

// `ports` on the devices under `devFolder`, described by `facts`, then the
// USB cables plugged in with their bus and address; the device the options
// (or the window's settings) lead to is marked as in use.
int ListPorts(CliContext& context, bool json, DeviceFacts& facts, const std::string& devFolder = "/dev",
              const std::string& ttyClassFolder = "/sys/class/tty", const std::vector<UsbCableId>& usbCables = {});
