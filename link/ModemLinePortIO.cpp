#include "link/ModemLinePortIO.h"

#include <sys/ioctl.h>

const ModemLineWiring kBlackCableWiring = {
    TIOCM_RTS, TIOCM_CTS,  // tip: red wire
    TIOCM_DTR, TIOCM_DSR,  // ring: white wire
    true,      true,
};

namespace {
constexpr uint8_t kDataLineA = 1;  // ring
constexpr uint8_t kDataLineB = 2;  // tip
constexpr uint8_t kStatusLineA = 0x20;
constexpr uint8_t kStatusLineB = 0x10;
}  // namespace

bool ModemLinePortIO::Open(const std::string& path)
{
    fAsserted = -1;
    if (!fLines.Open(path))
        return false;
    PortOut(0, kDataLineA | kDataLineB);
    return true;
}

int ModemLinePortIO::OutputFor(int wireOut, bool high) const
{
    return high == fWiring.assertedOutputIsHigh ? wireOut : 0;
}

void ModemLinePortIO::PortOut(uint16_t, uint8_t value)
{
    if (!fLines.IsOpen() || fLines.IsBroken())
        return;
    const int outputs = fWiring.tipOut | fWiring.ringOut;
    int wanted = OutputFor(fWiring.ringOut, value & kDataLineA) | OutputFor(fWiring.tipOut, value & kDataLineB);
    if (fAsserted < 0)
        fAsserted = fLines.Get() & outputs;
    // The cable's comparators live on these lines: never drop the last one.
    if (wanted == 0)
        wanted = fAsserted != 0 ? (fAsserted & -fAsserted) : fWiring.tipOut;
    // One whole-state write, and none when nothing changes: on a USB-serial
    // adapter every operation is a round trip.
    if (wanted != fAsserted)
        fLines.Set(wanted);
    fAsserted = wanted;
}

uint8_t ModemLinePortIO::PortIn(uint16_t)
{
    if (!fLines.IsOpen() || fLines.IsBroken())
        return kIdleStatus;
    const int lines = fLines.Get();
    if (fLines.IsBroken())
        return kIdleStatus;
    const bool ringHigh = ((lines & fWiring.ringIn) != 0) == fWiring.assertedInputIsHigh;
    const bool tipHigh = ((lines & fWiring.tipIn) != 0) == fWiring.assertedInputIsHigh;
    return static_cast<uint8_t>((ringHigh ? kStatusLineA : 0) | (tipHigh ? kStatusLineB : 0));
}
