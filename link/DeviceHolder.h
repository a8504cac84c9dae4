#pragma once
#include <string>

// The program holding a serial line or parallel port, as "minicom (process
// 4242)", from its lock file or /proc; empty when none is found (or for a
// usb:BUS:ADDRESS path).
std::string DeviceHolder(const std::string& device);
