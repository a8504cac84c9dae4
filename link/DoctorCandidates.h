#pragma once
#include <optional>
#include <string>
#include <vector>

#include "link/DoctorSystem.h"

// What the user named for the calculator search, and what the settings hold.
struct DoctorRequest {
    std::string device;          // a device named on the command line: that one only
    std::optional<Cable> cable;  // a cable named: only that cable
    // The device and cable the settings name, tried first; empty when the
    // settings name none (on-board serial ports are tried only then).
    std::string settingsDevice;
    Cable settingsCable = Cable::Grey;
};

// The devices and cables worth trying, the likeliest first: the one the user
// named; otherwise the settings' device, the USB-serial adapters (grey and
// black cable), the USB cables and the parallel ports. Devices that may be
// something else (ttyACM boards and modems, on-board serial ports the user
// did not name) are never among them.
std::vector<DoctorCandidate> DoctorCandidates(const DoctorRequest& request, DoctorSystem& system);
