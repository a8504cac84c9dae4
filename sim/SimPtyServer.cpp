#include "sim/SimPtyServer.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

using namespace std::chrono;

SimPtyServer::SimPtyServer(CalculatorLink& calculator) : fCalc(calculator) {}

SimPtyServer::~SimPtyServer()
{
    if (fSlaveKeep >= 0)
        close(fSlaveKeep);
    if (fMaster >= 0)
        close(fMaster);
}

bool SimPtyServer::Open(std::string& error)
{
    fMaster = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fMaster < 0 || grantpt(fMaster) != 0 || unlockpt(fMaster) != 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[256];
    if (ptsname_r(fMaster, name, sizeof name) != 0) {
        error = std::string("cannot name the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    fSlavePath = name;
    // Hold the slave open: the line stays raw (no echo of the calculator's
    // replies back into its input), and the master keeps working while the
    // computer closes and reopens the port.
    fSlaveKeep = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fSlaveKeep < 0) {
        error = std::string("cannot open ") + name + ": " + std::strerror(errno);
        return false;
    }
    termios t{};
    tcgetattr(fSlaveKeep, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    tcsetattr(fSlaveKeep, TCSANOW, &t);
    return true;
}

microseconds SimPtyServer::ByteTime() const
{
    if (fBaud <= 0)
        return microseconds(0);
    return microseconds(10'000'000LL / fBaud);  // start bit, 8 data bits, stop bit
}

namespace {
constexpr size_t kBurstBytes = SimPacedLine::kBufferBytes;
bool Bursts(SimPacedLine::Reader reader)
{
    return reader == SimPacedLine::Reader::Burst;
}
}  // namespace

void SimPtyServer::ReadMaster(TimePoint now)
{
    if (now < fHangupUntil)
        return;
    // After a pause the line starts again with the byte that just came.
    if (fInIdle && fInLineFree < now)
        fInLineFree = now;
    uint8_t buf[512];
    // A burst takes what waits, once the last one has crossed the line.
    size_t burstLeft = fInLineFree > now ? 0 : kBurstBytes;
    for (;;) {
        size_t room = sizeof buf;
        if (fBaud > 0 && Bursts(fReader)) {
            if (burstLeft == 0)
                return;
            room = std::min(room, burstLeft);
        } else if (fBaud > 0) {
            // Only the bytes whose turn on the line has come (read ahead
            // as far as the device's FIFO).
            const auto ahead = now + ByteTime() * ReadAheadBytes() - fInLineFree;
            if (ahead <= steady_clock::duration::zero())
                return;
            room = std::min<size_t>(room, static_cast<size_t>(ahead / ByteTime()) + 1);
        }
        ssize_t n = read(fMaster, buf, room);
        if (n > 0) {
            fInIdle = false;
            for (ssize_t i = 0; i < n; ++i) {
                // Each byte arrives one line time after the line became free.
                fInLineFree += ByteTime();
                fIn.push_back(Timed{buf[i], fInLineFree});
            }
            fBytesIn += static_cast<uint64_t>(n);
            burstLeft -= std::min(burstLeft, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        fInIdle = true;
        if (n < 0 && errno == EIO)
            fHangupUntil = now + milliseconds(50);  // no client: look again later
        return;
    }
}

bool SimPtyServer::ReadyForInput(TimePoint now) const
{
    // Bytes waiting while a burst crosses would wake the server at once,
    // over and over: it looks again when the line is free.
    if (Bursts(fReader))
        return now >= fHangupUntil && (fBaud == 0 || fInLineFree <= now);
    return now >= fHangupUntil && (fBaud == 0 || fInIdle || fInLineFree < now + ByteTime() * ReadAheadBytes());
}

void SimPtyServer::FeedDue(TimePoint now)
{
    while (!fIn.empty() && fIn.front().due <= now) {
        // A half packet is given up after a pause on the line itself, not
        // in the device: a burst reader holds seconds of it.
        if (fCalc.InPacket() && fIn.front().due - fLastInput > milliseconds(framingResetMs))
            fCalc.ResetFraming();
        fLastInput = fIn.front().due;
        fCalc.Receive(fIn.front().byte);
        fIn.pop_front();
    }
    if (fIn.empty() && fCalc.InPacket() && now - fLastInput > milliseconds(framingResetMs))
        fCalc.ResetFraming();
}

void SimPtyServer::WriteDue(TimePoint now)
{
    if (fCalc.HasOutput()) {
        // A reply on an idle line: its first byte takes one line time.
        if (fOut.empty() && fOutNext < now)
            fOutNext = now + ByteTime();
        fOut += fCalc.TakeOutput();
    }
    while (!fOut.empty()) {
        size_t count = fOut.size();
        if (fBaud > 0) {
            // One byte at a time, each when its line time has passed.
            if (now < fOutNext)
                return;
            count = 1;
        }
        ssize_t n = write(fMaster, fOut.data(), count);
        if (n <= 0)
            return;
        fOut.erase(0, static_cast<size_t>(n));
        fBytesOut += static_cast<uint64_t>(n);
        if (fBaud > 0)
            fOutNext += ByteTime();
    }
}

microseconds SimPtyServer::NextWake(TimePoint now, int limitMs) const
{
    TimePoint wake = now + milliseconds(limitMs);
    if (!fIn.empty())
        wake = std::min(wake, fIn.front().due);
    if (!fOut.empty() && fBaud > 0)
        wake = std::min(wake, fOutNext);
    if (!ReadyForInput(now) && now >= fHangupUntil)
        wake = std::min(wake, Bursts(fReader) ? fInLineFree : fInLineFree - ByteTime() * ReadAheadBytes() + ByteTime());
    if (fHangupUntil > now)
        wake = std::min(wake, fHangupUntil);
    if (wake <= now)
        return microseconds(0);
    // Round up so the wake-up is not early. A whole millisecond would be
    // late: a burst reader idles the line until it wakes, once per burst.
    return duration_cast<microseconds>(wake - now) + microseconds(1);
}

void SimPtyServer::Step(int timeoutMs)
{
    TimePoint now = steady_clock::now();
    // The device's turn to take bytes has come: finding none, its line goes
    // idle once it has carried what it holds, and a later write starts it
    // again then, not where it stopped.
    if (!fInIdle && ReadyForInput(now))
        ReadMaster(now);
    pollfd p{fMaster, 0, 0};
    if (ReadyForInput(now))
        p.events = POLLIN;
    if (!fOut.empty() && fBaud == 0)
        p.events |= POLLOUT;
    const microseconds wait = NextWake(now, timeoutMs);
    const timespec timeout{static_cast<time_t>(wait.count() / 1'000'000),
                           static_cast<long>(wait.count() % 1'000'000) * 1000};
    ppoll(&p, 1, &timeout, nullptr);
    now = steady_clock::now();
    if (p.revents & (POLLHUP | POLLERR))
        fHangupUntil = now + milliseconds(50);
    if (p.revents & POLLIN)
        ReadMaster(now);
    FeedDue(now);
    WriteDue(now);
}

void SimPtyServer::Run(const volatile int& stop)
{
    while (!stop)
        Step(100);
}
