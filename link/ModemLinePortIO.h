#pragma once
#include <cstdint>
#include <string>

#include "link/ModemLines.h"
#include "link/PortIO.h"

// Which modem line moves and reads each wire of the black serial cable, and
// which way round. Tip is the red wire, ring the white one. Unchecked against
// a real cable: someone holding one can correct these rows and nothing else.
struct ModemLineWiring {
    int tipOut;  // TIOCM_* output that drives the tip wire
    int tipIn;   // TIOCM_* input that reads it
    int ringOut;
    int ringIn;
    bool assertedOutputIsHigh;  // an asserted output releases its wire
    bool assertedInputIsHigh;   // an input reads asserted while its wire is high
};
extern const ModemLineWiring kBlackCableWiring;

// The black serial cable as bit-level port I/O, so the parallel cable's bit
// handshake drives it unchanged. A data-register write moves the outputs
// (bit 0: line A, the ring wire; bit 1: line B, the tip wire, the one pulled
// for a 0 bit); a status read packs the inputs as the parallel port's bits 5
// (line A) and 4 (line B). Addresses are ignored: there is one cable.
//
// The outputs also power the cable, so one of them stays asserted at every
// moment: lines are asserted before others are deasserted, and a write that
// would deassert both keeps the one already asserted.
//
// While closed or after the device went away the wires read idle and writes
// do nothing, so the link ends in its ordinary time-outs; the link object
// opens the lines again before its next conversation.
class ModemLinePortIO : public PortIO {
public:
    explicit ModemLinePortIO(ModemLines& lines, const ModemLineWiring& wiring = kBlackCableWiring)
        : fLines(lines), fWiring(wiring)
    {
    }

    // Opens the tty and releases both wires. False with OpenError when it fails.
    bool Open(const std::string& path);
    void Close() { fLines.Close(); }
    bool IsOpen() const { return fLines.IsOpen(); }
    bool IsBroken() const { return fLines.IsBroken(); }
    std::string OpenError() const { return fLines.OpenError(); }

    void PortOut(uint16_t address, uint8_t value) override;
    uint8_t PortIn(uint16_t address) override;

    static constexpr uint8_t kIdleStatus = 0x30;

private:
    int OutputFor(int wireOut, bool high) const;

    ModemLines& fLines;
    ModemLineWiring fWiring;
    int fAsserted = -1;  // outputs last asserted; -1: not known yet
};
