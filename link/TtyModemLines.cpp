#include "link/TtyModemLines.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "link/PosixSerialDevice.h"

TtyModemLines::~TtyModemLines()
{
    Close();
}

bool TtyModemLines::Open(const std::string& path)
{
    Close();
    fOpenError.clear();
    // No controlling terminal, and no wait for a carrier the cable never gives.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fOpenError = PosixSerialDevice::OpenErrorText(path, errno);
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        fOpenError = PosixSerialDevice::OpenErrorText(path, errno);
        ::close(fd);
        return false;
    }
    int probe = 0;
    if (::ioctl(fd, TIOCMGET, &probe) != 0) {
        fOpenError = path + ": has no modem lines (not a serial port)";
        ::close(fd);
        return false;
    }
    fFd = fd;
    fBroken = false;
    return true;
}

void TtyModemLines::Close()
{
    if (fFd >= 0)
        ::close(fFd);
    fFd = -1;
}

void TtyModemLines::Note(int result)
{
    if (result != 0 && (errno == EIO || errno == ENODEV || errno == ENXIO))
        fBroken = true;
}

int TtyModemLines::Get()
{
    int lines = 0;
    if (fFd < 0)
        return 0;
    const int result = ::ioctl(fFd, TIOCMGET, &lines);
    Note(result);
    return result == 0 ? lines : 0;
}

void TtyModemLines::Assert(int lines)
{
    if (fFd >= 0)
        Note(::ioctl(fFd, TIOCMBIS, &lines));
}

void TtyModemLines::Deassert(int lines)
{
    if (fFd >= 0)
        Note(::ioctl(fFd, TIOCMBIC, &lines));
}
