#pragma once
#include <string>

// The modem-control lines of one serial line, as TIOCM_* bit masks. The
// black serial cable moves the link's two wires through them; the real one
// is a tty (TtyModemLines), tests wire them to the simulated two-line cable.
class ModemLines {
public:
    virtual ~ModemLines() = default;
    virtual bool Open(const std::string& path) = 0;  // false when the device cannot be opened
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Why the last Open failed, as "<path>: <reason>"; empty when it did not.
    virtual std::string OpenError() const = 0;
    // The lines now asserted, outputs and inputs alike; 0 when closed or gone.
    virtual int Get() = 0;
    virtual void Assert(int lines) = 0;
    virtual void Deassert(int lines) = 0;
    // Asserts exactly these of the outputs (RTS, DTR) and deasserts the
    // others, in one operation.
    virtual void Set(int outputs) = 0;
    // The device went away since it was opened (a USB-serial adapter pulled).
    virtual bool IsBroken() const { return false; }
};
