#pragma once
#include <termios.h>

#include "link/SerialDevice.h"

// A serial line on a POSIX terminal device (a real port, a USB adapter or a
// pseudo-terminal), raw and non-blocking.
//
// While open, the device holds an advisory lock (flock) that a second
// Linkwise, or any serial tool that honours such locks, sees as "in use".
// The kernel drops it with the process, however that ends: a killed client
// never leaves the port unusable, as an exclusive-mode claim (TIOCEXCL)
// would while the far end of a pseudo-terminal stays open.
//
// Where termios has no exact counterpart for a setting:
// - speeds 14400, 56000, 128000 and 256000 become the nearest standard speed
//   (19200, 57600, 115200, 230400); 14400 rounds up;
// - 1.5 stop bits become 2; 4 data bits become 5;
// - DSR/DTR handshake is not available and runs without handshake;
// - the XON/XOFF limits and the error character have no equivalent and are
//   ignored; with parity checking and replacement both on, bytes with a
//   parity error arrive as 0;
// - stripping NUL bytes is done while reading.
class PosixSerialDevice : public SerialDevice {
public:
    PosixSerialDevice() = default;
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    bool Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fFd >= 0; }
    bool Apply(const SerialLineSettings& settings) override;
    void Write(const uint8_t* data, size_t count) override;
    size_t WriteSome(const uint8_t* data, size_t count) override;
    bool WaitForRoom(int milliseconds, size_t backlog) override;
    void DiscardOutput() override;
    void Pause(int milliseconds) override;
    int BytesWaiting() override;
    int ReadOne() override;
    void DiscardInput() override;
    bool WaitForInput(int milliseconds) override;
    bool IsBroken() const override { return fBroken; }
    std::string OpenError() const override { return fOpenError; }

    int Descriptor() const { return fFd; }
    // Turns a line's attributes into the raw line these settings describe.
    static void SetUp(termios& t, const SerialLineSettings& settings);

    // The words for a failed open of `path` with this errno; a missing
    // permission comes with the hint about the group that owns the device.
    static std::string OpenErrorText(const std::string& path, int error);

private:
    void NoteFailure(int error);

    int fFd = -1;
    bool fStripNulls = false;
    int fByteMicros = 1042;  // one character's line time at the applied settings
    bool fBroken = false;
    std::string fOpenError;
};
