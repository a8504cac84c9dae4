#include "sim/SimSerialDevice.h"

bool SimSerialDevice::Open(const std::string& path)
{
    openedPath = path;
    fOpen = openable;
    broken = false;
    return fOpen;
}

bool SimSerialDevice::Apply(const SerialLineSettings& s)
{
    settings = s;
    return fOpen;
}

void SimSerialDevice::Write(const uint8_t* data, size_t count)
{
    if (!fOpen || broken)
        return;
    for (size_t i = 0; i < count; ++i) {
        written += static_cast<char>(data[i]);
        fCalc.Receive(data[i]);
    }
}

int SimSerialDevice::BytesWaiting()
{
    return fOpen && !broken ? static_cast<int>(fCalc.OutputPending()) : 0;
}

int SimSerialDevice::ReadOne()
{
    return fOpen && !broken ? fCalc.TakeByte() : -1;
}

void SimSerialDevice::DiscardInput()
{
    if (fCalc.HasOutput())
        ++discards;
    fCalc.DiscardOutput();
}

bool SimSerialDevice::WaitForInput(int)
{
    return fOpen && fCalc.HasOutput();
}
