#include "link/PosixDoctorSystem.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/ppdev.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

#include "link/DeviceHolder.h"
#include "link/LibusbCablePipes.h"
#include "link/ModemLinePortIO.h"
#include "link/PosixSerialDevice.h"
#include "link/PpdevPortIO.h"
#include "link/TtyModemLines.h"
#include "link/UsbCableDevice.h"

namespace fs = std::filesystem;

namespace {

// A serial device that opens the candidate's path whatever port number the
// link asks for, so the search leaves the ports' device table alone.
class PinnedDevice : public SerialDevice {
public:
    PinnedDevice(std::unique_ptr<SerialDevice> inner, std::string path) : fInner(std::move(inner)), fPath(path) {}
    bool Open(const std::string&) override { return fInner->Open(fPath); }
    void Close() override { fInner->Close(); }
    bool IsOpen() const override { return fInner->IsOpen(); }
    bool Apply(const SerialLineSettings& s) override { return fInner->Apply(s); }
    void Write(const uint8_t* data, size_t count) override { fInner->Write(data, count); }
    size_t WriteSome(const uint8_t* data, size_t count) override { return fInner->WriteSome(data, count); }
    bool WaitForRoom(int ms, size_t backlog) override { return fInner->WaitForRoom(ms, backlog); }
    void DiscardOutput() override { fInner->DiscardOutput(); }
    void Pause(int milliseconds) override { fInner->Pause(milliseconds); }
    int BytesWaiting() override { return fInner->BytesWaiting(); }
    int ReadOne() override { return fInner->ReadOne(); }
    void DiscardInput() override { fInner->DiscardInput(); }
    bool WaitForInput(int ms) override { return fInner->WaitForInput(ms); }
    bool IsBroken() const override { return fInner->IsBroken(); }
    std::string OpenError() const override { return fInner->OpenError(); }
    std::string BrokenText() const override { return fInner->BrokenText(); }

private:
    std::unique_ptr<SerialDevice> fInner;
    std::string fPath;
};

// The same for the black cable's modem lines.
class PinnedModemLines : public ModemLines {
public:
    explicit PinnedModemLines(std::string path) : fPath(std::move(path)) {}
    bool Open(const std::string&) override { return fInner.Open(fPath); }
    void Close() override { fInner.Close(); }
    bool IsOpen() const override { return fInner.IsOpen(); }
    std::string OpenError() const override { return fInner.OpenError(); }
    int Get() override { return fInner.Get(); }
    void Assert(int lines) override { fInner.Assert(lines); }
    void Deassert(int lines) override { fInner.Deassert(lines); }
    void Set(int outputs) override { fInner.Set(outputs); }
    bool IsBroken() const override { return fInner.IsBroken(); }

private:
    TtyModemLines fInner;
    std::string fPath;
};

class PosixDoctorLink : public DoctorLink {
public:
    PosixDoctorLink(const DoctorCandidate& c, Clock& clock, EventPump& pump, Dialogs& dialogs)
        : fSerial(std::make_unique<PinnedDevice>(std::make_unique<PosixSerialDevice>(), c.device)),
          fModemLines(c.device),
          fUsb(std::make_unique<PinnedDevice>(std::make_unique<UsbCableDevice>(std::make_unique<LibusbCablePipes>()),
                                              c.device)),
          fLink(LinkEnvironment{clock, pump, dialogs, fPortIO})
    {
        fLink.Cabletype = static_cast<uint8_t>(c.cable);
        fLink.serialPort = &fSerial;
        fLink.BlackCable = &fBlackCable;
        fLink.UsbCable = &fUsb;
    }
    ~PosixDoctorLink() override
    {
        if (fLink.Cabletype != static_cast<uint8_t>(Cable::Parallel))
            fLink.Close();
    }
    Ti92Link& Link() override { return fLink; }

    // Opens the cable's device; the reason when that fails.
    std::string Open(const DoctorCandidate& c)
    {
        if (c.cable != Cable::Parallel)
            return fLink.OpenCable();
        // /dev/parportN is port N; any other node stands in for port 0.
        int index = 0;
        const std::string name = fs::path(c.device).filename().string();
        if (name.size() == 8 && name.rfind("parport", 0) == 0 && name[7] >= '0' && name[7] <= '3')
            index = name[7] - '0';
        else
            fPortIO.SetDevicePath(0, c.device);
        fLink.PortAdress = PpdevPortIO::BaseAddress(index);
        if (!fPortIO.Available(index))
            return fPortIO.Problem(fLink.PortAdress);
        fLink.ResetPort();
        return {};
    }

private:
    PpdevPortIO fPortIO;
    SerialPort fSerial;
    PinnedModemLines fModemLines;
    ModemLinePortIO fBlackCable{fModemLines};
    SerialPort fUsb;
    Ti92Link fLink;
};

int ErrnoOf(UsbStatus status)
{
    switch (status) {
    case UsbStatus::Ok:
        return 0;
    case UsbStatus::NoPermission:
        return EACCES;
    case UsbStatus::Busy:
        return EBUSY;
    case UsbStatus::NotFound:
    case UsbStatus::Gone:
        return ENODEV;
    default:
        return EIO;
    }
}

}  // namespace

std::vector<SerialPortEntry> PosixDoctorSystem::SerialPorts()
{
    UdevDeviceFacts facts;
    return SerialPortInventory(facts);
}

std::vector<UsbCableId> PosixDoctorSystem::UsbCables()
{
    LibusbCablePipes pipes;
    return pipes.Present();
}

std::vector<std::string> PosixDoctorSystem::ParallelPorts()
{
    std::vector<std::string> ports;
    for (int n = 0; n < 4; ++n) {
        std::error_code ec;
        if (fs::exists("/dev/parport" + std::to_string(n), ec))
            ports.push_back("/dev/parport" + std::to_string(n));
    }
    return ports;
}

DoctorSystem::Node PosixDoctorSystem::Look(const std::string& device)
{
    if (device.rfind("usb", 0) == 0) {
        const UsbCableId wanted = UsbCableDevice::IdOf(device);
        for (const UsbCableId& id : UsbCables())
            if (wanted.bus == 0 || id == wanted)
                return Node::CharDevice;
        return Node::Missing;
    }
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return Node::Missing;
    return S_ISCHR(st.st_mode) ? Node::CharDevice : Node::Other;
}

std::string PosixDoctorSystem::Group(const std::string& device)
{
    struct stat st {};
    if (::stat(device.c_str(), &st) != 0)
        return {};
    const ::group* g = ::getgrgid(st.st_gid);
    return g && g->gr_name && g->gr_gid != 0 ? g->gr_name : "";
}

std::string PosixDoctorSystem::Holder(const std::string& device)
{
    return DeviceHolder(device);
}

DoctorSystem::Opening PosixDoctorSystem::TryOpen(const std::string& device, Cable cable)
{
    Opening result;
    if (cable == Cable::Usb) {
        LibusbCablePipes pipes;
        result.error = ErrnoOf(pipes.Open(UsbCableDevice::IdOf(device)));
        pipes.Close();
        return result;
    }
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.error = errno;
        return result;
    }
    if (cable == Cable::Parallel) {
        if (::ioctl(fd, PPCLAIM) != 0)
            result.error = errno;
        else
            ::ioctl(fd, PPRELEASE);
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        result.error = errno == EWOULDBLOCK ? EBUSY : errno;
    } else {
        termios t{};
        if (::tcgetattr(fd, &t) != 0)
            result.error = errno;
        int lines = 0;
        result.modemLines = ::ioctl(fd, TIOCMGET, &lines) == 0;
    }
    ::close(fd);
    return result;
}

std::unique_ptr<DoctorLink> PosixDoctorSystem::OpenLink(const DoctorCandidate& candidate, Clock& clock, EventPump& pump,
                                                        Dialogs& dialogs, std::string& why)
{
    auto link = std::make_unique<PosixDoctorLink>(candidate, clock, pump, dialogs);
    why = link->Open(candidate);
    if (!why.empty()) {
        for (char& c : why)
            if (c == '\r')
                c = ' ';
        return nullptr;
    }
    return link;
}
