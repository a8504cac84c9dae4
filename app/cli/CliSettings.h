#pragma once
#include <string>

#include "app/cli/CliCommands.h"

class SettingsStore;

// The window's settings file: LINKWISE_SETTINGS, else the user's own.
std::string CliSettingsPath();

// A value for a message, cut to `most` bytes with "…" when longer.
std::string ShortValue(const std::string& value, size_t most = 60);

// The options with what the command line left open taken from the window's
// settings: the cable type, the port, and the device of each serial port
// (handed to the serial port's table; LINKWISE_COMn still comes first).
// Throws EFileError when the device for the port in use is no path at all.
CliOptions WithWindowSettings(const CliOptions& options, SettingsStore& settings);
