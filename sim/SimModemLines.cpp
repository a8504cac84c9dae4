#include "sim/SimModemLines.h"

#include <sys/ioctl.h>

namespace {
constexpr uint16_t kBase = 0x378;
}

bool SimModemLines::Open(const std::string& path)
{
    openedPath = path;
    fOpen = openable;
    fCable.idleReadsBeforeSend = 1;
    fCable.idleReadsBetweenBits = 0;
    broken = false;
    return fOpen;
}

void SimModemLines::Drive()
{
    outputHistory.push_back(fOutputs);
    // Data bit 0 is line A (ring), bit 1 line B (tip); a 1 releases the line.
    fCable.PortOut(kBase, static_cast<uint8_t>(((fOutputs & TIOCM_DTR) ? 1 : 0) | ((fOutputs & TIOCM_RTS) ? 2 : 0)));
}

int SimModemLines::Get()
{
    ++calls;
    if (!fOpen || broken)
        return 0;
    const uint8_t status = fCable.PortIn(kBase + 1);
    return fOutputs | ((status & 0x10) ? TIOCM_CTS : 0) | ((status & 0x20) ? TIOCM_DSR : 0);
}

void SimModemLines::Assert(int lines)
{
    ++calls;
    if (!fOpen || broken)
        return;
    fOutputs |= lines & (TIOCM_RTS | TIOCM_DTR);
    Drive();
}

void SimModemLines::Deassert(int lines)
{
    ++calls;
    if (!fOpen || broken)
        return;
    fOutputs &= ~lines;
    Drive();
}

void SimModemLines::Set(int outputs)
{
    ++calls;
    if (!fOpen || broken)
        return;
    fOutputs = outputs & (TIOCM_RTS | TIOCM_DTR);
    Drive();
}
