#include "sim/SimUsbCable.h"

#include <algorithm>
#include <array>

void SimUsbCable::Replug()
{
    plugged = true;
    ++id.address;
}

UsbStatus SimUsbCable::Open(UsbCableId wanted)
{
    fOpen = false;
    fOpenedId = wanted.bus != 0 ? wanted : plugged ? id : UsbCableId{};
    if (!plugged || (wanted.bus != 0 && !(wanted == id)))
        return UsbStatus::NotFound;
    if (permissionDenied)
        return UsbStatus::NoPermission;
    fOpen = true;
    return UsbStatus::Ok;
}

UsbStatus SimUsbCable::ResetPipes()
{
    if (!plugged)
        return UsbStatus::Gone;
    ++resets;
    stallIn = stallOut = false;
    return UsbStatus::Ok;
}

UsbStatus SimUsbCable::Write(const uint8_t* data, size_t count, int)
{
    if (!plugged)
        return UsbStatus::Gone;
    if (stallOut)
        return UsbStatus::Stalled;
    largestWrite = std::max(largestWrite, count);
    for (size_t i = 0; i < count; ++i)
        fCalc.Receive(data[i]);
    return UsbStatus::Ok;
}

UsbStatus SimUsbCable::Read(uint8_t* block, size_t capacity, size_t& got, int)
{
    got = 0;
    if (!plugged)
        return UsbStatus::Gone;
    if (++reads == stallInAtRead)
        stallIn = true;
    if (stallIn)
        return UsbStatus::Stalled;
    if (fCalc.faults.silent || !fCalc.HasOutput())
        return UsbStatus::Timeout;
    std::array<uint8_t, kUsbBlockBytes> cableBlock{};
    size_t n = 0;
    while (n < cableBlock.size() && fCalc.HasOutput())
        cableBlock[n++] = static_cast<uint8_t>(fCalc.TakeByte());
    got = std::min(n, capacity);
    std::copy_n(cableBlock.begin(), got, block);
    lostBytes += static_cast<long>(n - got);
    bytesRead += static_cast<long>(got);
    if (unplugAfterBytes >= 0 && bytesRead >= unplugAfterBytes)
        Unplug();
    return UsbStatus::Ok;
}

std::vector<UsbCableId> SimUsbCable::Present()
{
    if (!plugged)
        return {};
    return {id};
}
