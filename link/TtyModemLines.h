#pragma once
#include "link/ModemLines.h"

// Modem lines of a terminal device through TIOCMGET, TIOCMBIS, TIOCMBIC and
// TIOCMSET.
// Each call is one ioctl; on a USB-serial adapter that is a round trip over
// USB of about a millisecond. Holds the same advisory lock as the serial
// device, so the grey-cable code and a second Linkwise see the line in use.
class TtyModemLines : public ModemLines {
public:
    TtyModemLines() = default;
    ~TtyModemLines() override;
    TtyModemLines(const TtyModemLines&) = delete;
    TtyModemLines& operator=(const TtyModemLines&) = delete;

    bool Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fFd >= 0; }
    std::string OpenError() const override { return fOpenError; }
    int Get() override;
    void Assert(int lines) override;
    void Deassert(int lines) override;
    void Set(int outputs) override;
    bool IsBroken() const override { return fBroken; }

private:
    void Note(int result);

    int fFd = -1;
    bool fBroken = false;
    int fOthers = 0;  // outputs other than RTS and DTR, as opened
    std::string fOpenError;
};
