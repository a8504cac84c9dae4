#include "link/TtyModemLines.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "link/DeviceFitness.h"
#include "link/PosixSerialDevice.h"

namespace {
// TIOCM_OUT1, TIOCM_OUT2 and TIOCM_LOOP of the kernel's termios, which the
// C library's headers leave out: outputs TIOCMSET sets too.
constexpr int kOtherOutputs = 0x2000 | 0x4000 | 0x8000;
}  // namespace

TtyModemLines::~TtyModemLines()
{
    Close();
}

bool TtyModemLines::Open(const std::string& path)
{
    Close();
    fOpenError.clear();
    // What is no device at all (a FIFO, a file) is not even opened.
    if (const std::string unfit = UnfitPath(path, false); !unfit.empty()) {
        fOpenError = path + " is " + unfit;
        return false;
    }
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
    fOthers = probe & kOtherOutputs;
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

void TtyModemLines::Set(int outputs)
{
    if (fFd < 0)
        return;
    // The whole state of the outputs; those the cable does not use stay as
    // they were when the line was opened.
    int lines = fOthers | (outputs & (TIOCM_RTS | TIOCM_DTR));
    Note(::ioctl(fFd, TIOCMSET, &lines));
}
