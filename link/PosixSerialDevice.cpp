#include "link/PosixSerialDevice.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "link/DeviceFitness.h"
#include "link/DeviceHolder.h"

namespace {

speed_t SpeedOf(int baud)
{
    switch (baud) {
    case 110:
        return B110;
    case 300:
        return B300;
    case 600:
        return B600;
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    case 4800:
        return B4800;
    case 9600:
        return B9600;
    case 14400:
        return B19200;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 56000:
        return B57600;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 128000:
        return B115200;
    case 230400:
        return B230400;
    case 256000:
        return B230400;
    default:
        return B9600;
    }
}

tcflag_t SizeOf(int dataBits)
{
    switch (dataBits) {
    case 4:
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

// How long a write may wait for room in a full output queue. The rest is then
// dropped without an error: the reply that cannot come ends the conversation
// with its own time-out, which says more than a failed write would.
constexpr int kWriteRoomWaitMs = 2000;

// Errors that mean the device itself has gone away.
bool MeansGone(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

}  // namespace

std::string PosixSerialDevice::OpenErrorText(const std::string& path, int error)
{
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return path + ": no such device";
    case EWOULDBLOCK:
    case EBUSY: {
        const std::string holder = DeviceHolder(path);
        return path + ": in use by " + (holder.empty() ? "another program" : holder);
    }
    case EACCES:
    case EPERM: {
        std::string owner = "dialout";
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

void PosixSerialDevice::NoteFailure(int error)
{
    if (MeansGone(error))
        fBroken = true;
}

PosixSerialDevice::~PosixSerialDevice()
{
    Close();
}

bool PosixSerialDevice::Open(const std::string& path)
{
    Close();
    fOpenError.clear();
    // Only a serial line will do: anything else would take the conversation
    // and never answer. What is no device at all is not even opened.
    if (const std::string unfit = UnfitPath(path, false); !unfit.empty()) {
        fOpenError = path + " is " + unfit;
        return false;
    }
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        fOpenError = OpenErrorText(path, errno);
        return false;
    }
    if (const std::string unfit = UnfitNode(fd, false); !unfit.empty()) {
        fOpenError = path + " is " + unfit;
        ::close(fd);
        return false;
    }
    // The port is ours alone while open: a second program on the same line
    // would take bytes out of our conversation. The lock ends with the process.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        fOpenError = OpenErrorText(path, errno);
        ::close(fd);
        return false;
    }
    fFd = fd;
    fBroken = false;
    return true;
}

void PosixSerialDevice::Close()
{
    if (fFd < 0)
        return;
    ::close(fFd);  // gives up the lock too
    fFd = -1;
    fBroken = false;
}

bool PosixSerialDevice::Apply(const SerialLineSettings& s)
{
    if (fFd < 0)
        return false;
    fStripNulls = s.stripNullChars;
    const int bits = 1 + std::max(5, s.dataBits) + (s.parity != 'N' ? 1 : 0) + (s.stopBitsTimesTen > 10 ? 2 : 1);
    fByteMicros = static_cast<int>(1'000'000LL * bits / std::max(1, s.baudRate));
    termios t{};
    if (::tcgetattr(fFd, &t) != 0)
        return false;

    SetUp(t, s);
    return ::tcsetattr(fFd, TCSANOW, &t) == 0;
}

void PosixSerialDevice::SetUp(termios& t, const SerialLineSettings& s)
{
    // Raw bytes in both directions: no echo, no line editing, no translation.
    ::cfmakeraw(&t);
    t.c_cflag |= CREAD | CLOCAL;
    t.c_cc[VMIN] = 0;
    t.c_cc[VTIME] = 0;

    speed_t speed = SpeedOf(s.baudRate);
    ::cfsetispeed(&t, speed);
    ::cfsetospeed(&t, speed);

    t.c_cflag &= ~CSIZE;
    t.c_cflag |= SizeOf(s.dataBits);

    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (s.parity) {
    case 'E':
        t.c_cflag |= PARENB;
        break;
    case 'O':
        t.c_cflag |= PARENB | PARODD;
        break;
    case 'M':
        t.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case 'S':
        t.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    t.c_iflag &= ~(INPCK | IGNPAR | PARMRK);
    if (s.parity != 'N' && s.parityErrorChecking && s.parityErrorReplacement)
        t.c_iflag |= INPCK;

    if (s.stopBitsTimesTen > 10)
        t.c_cflag |= CSTOPB;
    else
        t.c_cflag &= ~CSTOPB;

    t.c_iflag &= ~(IXON | IXOFF | IXANY);
    t.c_cflag &= ~CRTSCTS;
    if (s.flow == SerialLineSettings::Flow::XonXoff)
        t.c_iflag |= IXON | IXOFF;
    else if (s.flow == SerialLineSettings::Flow::RtsCts)
        t.c_cflag |= CRTSCTS;

    t.c_cc[VSTART] = s.xonChar;
    t.c_cc[VSTOP] = s.xoffChar;
    if (s.eofChar != 0)
        t.c_cc[VEOF] = s.eofChar;
}

void PosixSerialDevice::Write(const uint8_t* data, size_t count)
{
    if (fFd < 0)
        return;
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(fFd, data + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fFd, POLLOUT, 0};
            if (::poll(&p, 1, kWriteRoomWaitMs) > 0 && (p.revents & POLLOUT))
                continue;
        }
        if (n < 0)
            NoteFailure(errno);
        break;
    }
    while (::tcdrain(fFd) != 0 && errno == EINTR) {
    }
}

size_t PosixSerialDevice::WriteSome(const uint8_t* data, size_t count)
{
    if (fFd < 0 || count == 0)
        return 0;
    for (;;) {
        const ssize_t n = ::write(fFd, data, count);
        if (n >= 0)
            return static_cast<size_t>(n);
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            NoteFailure(errno);
        return 0;
    }
}

bool PosixSerialDevice::WaitForRoom(int milliseconds, size_t backlog)
{
    using namespace std::chrono;
    const auto end = steady_clock::now() + std::chrono::milliseconds(std::max(0, milliseconds));
    for (;;) {
        const auto left = duration_cast<std::chrono::milliseconds>(end - steady_clock::now()).count();
        if (fFd < 0 || left < 0)
            return false;
        pollfd p{fFd, POLLOUT, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            return false;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            fBroken = true;
            return false;
        }
        // Room alone is not enough on a UART: its queue holds seconds of
        // line time, and bytes queued there can no longer be held back by
        // an Abort. Wait until it has sent down to the backlog.
        int queued = 0;
        if (::ioctl(fFd, TIOCOUTQ, &queued) != 0 || queued <= static_cast<int>(backlog))
            return true;
        const auto drain = microseconds(int64_t(queued - static_cast<int>(backlog)) * fByteMicros);
        const auto pause = std::min<steady_clock::duration>(drain, end - steady_clock::now());
        if (pause <= steady_clock::duration::zero())
            return false;
        ::poll(nullptr, 0,
               static_cast<int>(std::max<int64_t>(1, duration_cast<std::chrono::milliseconds>(pause).count())));
    }
}

int PosixSerialDevice::BytesWaiting()
{
    if (fFd < 0)
        return 0;
    int n = 0;
    if (::ioctl(fFd, FIONREAD, &n) != 0) {
        NoteFailure(errno);
        return 0;
    }
    return n;
}

int PosixSerialDevice::ReadOne()
{
    if (fFd < 0)
        return -1;
    for (;;) {
        uint8_t b = 0;
        ssize_t n = ::read(fFd, &b, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            NoteFailure(errno);
        if (n != 1)
            return -1;
        if (b == 0 && fStripNulls)
            continue;
        return b;
    }
}

void PosixSerialDevice::DiscardOutput()
{
    if (fFd >= 0)
        ::tcflush(fFd, TCOFLUSH);
}

void PosixSerialDevice::Pause(int milliseconds)
{
    ::poll(nullptr, 0, std::max(0, milliseconds));
}

void PosixSerialDevice::DiscardInput()
{
    if (fFd >= 0)
        ::tcflush(fFd, TCIFLUSH);
}

bool PosixSerialDevice::WaitForInput(int milliseconds)
{
    if (milliseconds < 0)
        milliseconds = 0;
    if (fFd < 0) {
        ::poll(nullptr, 0, milliseconds);
        return false;
    }
    pollfd p{fFd, POLLIN, 0};
    int r = ::poll(&p, 1, milliseconds);
    if (r <= 0)
        return false;
    if (BytesWaiting() > 0)
        return true;
    // Ready without a byte: the line hung up (the far end of a pseudo-terminal
    // closed, the adapter unplugged) and every poll returns at once. Let the
    // slice pass so the caller still does not spin.
    if (p.revents & (POLLHUP | POLLERR | POLLNVAL))
        fBroken = true;
    ::poll(nullptr, 0, milliseconds);
    return false;
}
