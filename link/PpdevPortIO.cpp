#include "link/PpdevPortIO.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <linux/parport.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "link/DeviceHolder.h"

namespace {
constexpr uint16_t kBases[4] = {0x378, 0x278, 0x3BC, 0x2BC};
}

PpdevPortIO::~PpdevPortIO()
{
    for (Port& p : fPorts) {
        if (p.fd < 0)
            continue;
        ::ioctl(p.fd, PPRELEASE);
        ::close(p.fd);
    }
}

int PpdevPortIO::PortIndex(uint16_t address)
{
    for (int i = 0; i < 4; ++i)
        if (address >= kBases[i] && address <= kBases[i] + 2)
            return i;
    return -1;
}

uint16_t PpdevPortIO::BaseAddress(int index)
{
    return index >= 0 && index < 4 ? kBases[index] : 0;
}

void PpdevPortIO::SetDevicePath(int index, const std::string& path)
{
    if (index < 0 || index >= 4)
        return;
    Port& p = fPorts[index];
    if (p.fd >= 0) {
        ::ioctl(p.fd, PPRELEASE);
        ::close(p.fd);
    }
    p = Port{};
    p.path = path;
}

bool PpdevPortIO::Available(int index)
{
    return Claim(index) >= 0;
}

int PpdevPortIO::Claim(int index)
{
    if (index < 0 || index >= 4)
        return -1;
    Port& p = fPorts[index];
    if (p.state == State::Claimed)
        return p.fd;
    if (p.state == State::Unavailable)
        return -1;
    // Tried once only: the link polls the status register thousands of times
    // per byte, and a missing port must not cost an open() each time.
    p.state = State::Unavailable;
    std::string path = p.path.empty() ? "/dev/parport" + std::to_string(index) : p.path;
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        p.problem = OpenErrorText(path, errno);
        return -1;
    }
    if (::ioctl(fd, PPCLAIM) != 0) {
        p.problem = OpenErrorText(path, errno);
        ::close(fd);
        return -1;
    }
    p.fd = fd;
    p.state = State::Claimed;
    return fd;
}

std::string PpdevPortIO::OpenErrorText(const std::string& path, int error)
{
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return path + ": no such device\rThe parallel-port driver may not be loaded: load it with "
                      "\"sudo modprobe ppdev\".";
    case EBUSY: {
        const std::string holder = DeviceHolder(path);
        return path + ": in use by " + (holder.empty() ? "another program" : holder);
    }
    case EACCES:
    case EPERM: {
        std::string owner = "lp";
        struct stat st {};
        if (::stat(path.c_str(), &st) == 0)
            if (const ::group* g = ::getgrgid(st.st_gid); g && g->gr_name && g->gr_gid != 0)
                owner = g->gr_name;
        return path + ": permission denied\rMembers of the group " + owner +
               " may use it: add yourself with \"sudo usermod -aG " + owner + " $USER\", then log in again.";
    }
    default:
        return path + ": " + std::strerror(error);
    }
}

std::string PpdevPortIO::Problem(uint16_t address)
{
    const int index = PortIndex(address);
    if (index < 0) {
        char text[96];
        std::snprintf(text, sizeof text,
                      "Port address 0x%X is none of the parallel ports 0x378, 0x278, 0x3BC and 0x2BC.",
                      unsigned(address));
        return text;
    }
    return Claim(index) >= 0 ? std::string() : fPorts[index].problem;
}

void PpdevPortIO::PortOut(uint16_t address, uint8_t value)
{
    int index = PortIndex(address);
    int fd = Claim(index);
    if (fd < 0)
        return;
    unsigned char v = value;
    switch (address - kBases[index]) {
    case 0:
        ::ioctl(fd, PPWDATA, &v);
        break;
    case 2:
        ::ioctl(fd, PPWCONTROL, &v);
        break;
    default:
        break;  // the status register is read-only
    }
}

uint8_t PpdevPortIO::PortIn(uint16_t address)
{
    int index = PortIndex(address);
    int fd = Claim(index);
    if (fd < 0)
        return kIdleStatus;
    unsigned char v = kIdleStatus;
    // PPRSTATUS gives the register as the processor reads it, bit 7 inverted by
    // the hardware as usual; the link looks only at bits 4 and 5.
    switch (address - kBases[index]) {
    case 0:
        ::ioctl(fd, PPRDATA, &v);
        break;
    case 1:
        ::ioctl(fd, PPRSTATUS, &v);
        break;
    case 2:
        ::ioctl(fd, PPRCONTROL, &v);
        break;
    }
    return v;
}
