#pragma once
#include <string>
#include <vector>

#include "link/ModemLines.h"
#include "sim/SimParallelCable.h"

// The black serial cable's modem lines with the bit-level virtual calculator
// on the far end: RTS drives the tip wire and CTS reads it, DTR drives the
// ring wire and DSR reads it; an asserted output releases its wire and an
// input reads asserted while its wire is high. Underneath it is the
// simulated two-line cable (tip is its line B, ring its line A), so the
// calculator's side of the handshake is the one the parallel cable uses.
class SimModemLines : public ModemLines {
public:
    explicit SimModemLines(SimParallelCable& cable) : fCable(cable) {}

    bool Open(const std::string& path) override;
    void Close() override { fOpen = false; }
    bool IsOpen() const override { return fOpen; }
    std::string OpenError() const override { return fOpen ? std::string() : openedPath + ": no such device"; }
    int Get() override;
    void Assert(int lines) override;
    void Deassert(int lines) override;
    void Set(int outputs) override;
    bool IsBroken() const override { return broken; }

    bool openable = true;
    bool broken = false;  // the adapter was pulled
    std::string openedPath;
    int calls = 0;  // ioctls made, each one a round trip on a real adapter
    // The outputs (TIOCM_RTS | TIOCM_DTR) after every change.
    std::vector<int> outputHistory;

private:
    void Drive();

    SimParallelCable& fCable;
    bool fOpen = false;
    int fOutputs = 0;
};
