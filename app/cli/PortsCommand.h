#pragma once
#include <string>

#include "app/cli/CliCommands.h"
#include "link/SerialPortInventory.h"

// `ports` on the devices under `devFolder`, described by `facts`; the device
// the options (or the window's settings) lead to is marked as in use.
int ListPorts(CliContext& context, bool json, DeviceFacts& facts, const std::string& devFolder = "/dev",
              const std::string& ttyClassFolder = "/sys/class/tty");
