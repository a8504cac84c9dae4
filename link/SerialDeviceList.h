#pragma once
#include <string>
#include <vector>

// The serial devices present on this machine, for the user to pick from:
// /dev/ttyS* ports with a UART behind them, /dev/ttyUSB* and /dev/ttyACM*
// adapters, then the stable names of the adapters under /dev/serial/by-id,
// which stay the same whichever order they were plugged in. The folders are
// parameters so tests can lay out their own.
std::vector<std::string> PresentSerialDevices(const std::string& devFolder = "/dev",
                                              const std::string& ttyClassFolder = "/sys/class/tty");
