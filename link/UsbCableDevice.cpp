#include "link/UsbCableDevice.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

const char* const kUnpluggedText = "the USB cable was unplugged";
const char* const kReopenText = "It is looked for again before the next operation.";
const char* const kPermissionFix =
    "Install Linkwise's udev rule (60-linkwise.rules in /usr/lib/udev/rules.d or /etc/udev/rules.d), "
    "reload it with \"sudo udevadm control --reload-rules && sudo udevadm trigger\" and plug the cable "
    "in again; or give your user the group that owns the device node.";

}  // namespace

UsbCableDevice::UsbCableDevice(std::unique_ptr<UsbCablePipes> pipes) : fPipes(std::move(pipes)) {}

std::string UsbCableDevice::PathOf(UsbCableId id)
{
    return "usb:" + std::to_string(id.bus) + ":" + std::to_string(id.address);
}

UsbCableId UsbCableDevice::IdOf(const std::string& path)
{
    UsbCableId id;
    int bus = 0, address = 0;
    char end = 0;
    if (std::sscanf(path.c_str(), "usb:%d:%d%c", &bus, &address, &end) == 2 && bus > 0 && address > 0)
        id = {bus, address};
    return id;
}

std::string UsbCableDevice::NameOf(UsbCableId id)
{
    if (id.bus == 0)
        return "USB cable (0451:e001)";
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", id.bus, id.address);
    return "USB cable at bus " + std::to_string(id.bus) + " address " + std::to_string(id.address) + " (" + node + ")";
}

std::string UsbCableDevice::OpenErrorText(UsbStatus status, UsbCableId id, const std::string& detail)
{
    const std::string name = NameOf(id);
    switch (status) {
    case UsbStatus::Ok:
        return {};
    case UsbStatus::NotFound:
        return id.bus == 0 ? "No USB cable (0451:e001) is plugged in." : name + ": not plugged in";
    case UsbStatus::NoPermission:
        return name + ": permission denied\r" + kPermissionFix;
    case UsbStatus::Busy:
        return name + ": in use by another program";
    case UsbStatus::Gone:
        return name + ": " + kUnpluggedText;
    default:
        return name + ": " + (detail.empty() ? std::string("cannot be opened") : detail);
    }
}

bool UsbCableDevice::Open(const std::string& path)
{
    Close();
    fBroken = false;
    fOpenError.clear();
    const UsbStatus status = fPipes->Open(IdOf(path));
    if (status != UsbStatus::Ok) {
        fOpenError = OpenErrorText(status, fPipes->Id(), fPipes->Detail());
        fPipes->Close();
        return false;
    }
    // Whatever an earlier program or conversation left in the pipes would be
    // taken for the start of our replies.
    Note(fPipes->ResetPipes());
    DiscardInput();
    size_t got = 0;
    while (!fBroken && fPipes->Read(fBlock.data(), fBlock.size(), got, kDrainReadMs) == UsbStatus::Ok && got > 0) {
    }
    fPos = fEnd = 0;
    return true;
}

void UsbCableDevice::Close()
{
    fPipes->Close();
    fPos = fEnd = 0;
}

void UsbCableDevice::Note(UsbStatus status)
{
    if (status == UsbStatus::Gone)
        fBroken = true;
}

void UsbCableDevice::Write(const uint8_t* data, size_t count)
{
    for (size_t done = 0; done < count && IsOpen() && !fBroken;) {
        const size_t chunk = std::min(kChunkBytes, count - done);
        UsbStatus status = fPipes->Write(data + done, chunk, kWriteTimeoutMs);
        if (status == UsbStatus::Stalled && fPipes->ResetPipes() == UsbStatus::Ok)
            status = fPipes->Write(data + done, chunk, kWriteTimeoutMs);
        Note(status);
        // A chunk that does not go leaves the rest unsent: the reply that then
        // never comes ends the conversation with its time-out.
        if (status != UsbStatus::Ok)
            return;
        done += chunk;
    }
}

bool UsbCableDevice::Fill(int timeoutMs)
{
    if (fPos < fEnd)
        return true;
    if (!IsOpen() || fBroken)
        return false;
    size_t got = 0;
    UsbStatus status = fPipes->Read(fBlock.data(), fBlock.size(), got, timeoutMs);
    if (status == UsbStatus::Stalled) {
        Note(fPipes->ResetPipes());
        status = fPipes->Read(fBlock.data(), fBlock.size(), got, timeoutMs);
    }
    Note(status);
    fPos = 0;
    fEnd = status == UsbStatus::Ok ? got : 0;
    return fEnd > 0;
}

int UsbCableDevice::BytesWaiting()
{
    Fill(1);
    return static_cast<int>(fEnd - fPos);
}

int UsbCableDevice::ReadOne()
{
    if (!Fill(1))
        return -1;
    return fBlock[fPos++];
}

void UsbCableDevice::DiscardInput()
{
    // Only what we hold: asking the cable for more costs a read time-out per
    // call, and the link purges before every packet it sends.
    fPos = fEnd = 0;
}

bool UsbCableDevice::WaitForInput(int milliseconds)
{
    return Fill(std::max(1, milliseconds));
}

std::string UsbCableDevice::BrokenText() const
{
    return NameOf(fPipes->Id()) + ": " + kUnpluggedText + ".\r" + kReopenText;
}
