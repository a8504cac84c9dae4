#pragma once
#include <cstdint>
#include <functional>
#include <vector>

#include "link/Clock.h"
#include "link/PortIO.h"
#include "sim/CalculatorByteEnd.h"

// The two-line parallel cable with a bit-level calculator at its far end.
// Each line is low when either end pulls it. Line A is data bit 0 and
// status bit 5 (0x20); line B is data bit 1 and status bit 4 (0x10).
//
// The calculator receives a bit when the computer pulls a line (B: 0,
// A: 1), acknowledges by pulling the other line and lets go when the
// computer does. It sends a bit by pulling a line (A: 1, B: 0) and lets go
// when the computer acknowledges on the other line. Bytes go least
// significant bit first. Everything happens synchronously inside PortOut and
// PortIn, so tests are deterministic.
class SimParallelCable : public PortIO {
public:
    explicit SimParallelCable(CalculatorByteEnd& calculator, uint16_t base = 0x378) : fCalc(calculator), fBase(base) {}

    void PortOut(uint16_t address, uint8_t value) override;
    uint8_t PortIn(uint16_t address) override;

    // Line states as the two ends see them (true = low, pulled).
    bool LineALow() const { return fPcA || fCalcA || holdLinesLow; }
    bool LineBLow() const { return fPcB || fCalcB || holdLinesLow; }

    std::vector<uint8_t> dataWrites;  // every value written to the data register
    bool holdLinesLow = false;        // both lines stuck low (a shorted cable)
    // Lets a test alter a status reading, e.g. to inject a glitch.
    std::function<uint8_t(uint8_t status)> statusFilter;
    int statusReads = 0;
    // With a clock, the calculator gives up a byte that stalls for longer
    // than giveUpMs (the computer aborted or stopped reading): it lets go of
    // the lines, drops the half byte and the rest of its reply, so the next
    // exchange starts clean. Without one it waits for ever.
    Clock* clock = nullptr;
    uint32_t giveUpMs = 2000;

    // Idle status reads before the calculator starts a byte of its own, so a
    // computer that has just finished sending sees the lines settle first,
    // and before each further bit of that byte. Over modem lines one read is
    // a round trip of 0.1 ms or more, longer than the calculator takes to go
    // on with its byte once the lines are free: SimModemLines makes them 1 and 0.
    int idleReadsBeforeSend = 3;
    int idleReadsBetweenBits = 3;

private:
    void Settle();
    bool MidByte() const;
    void Progress();
    void GiveUpIfStalled();

    CalculatorByteEnd& fCalc;
    uint16_t fBase;
    bool fPcA = false, fPcB = false;      // pulled by the computer
    bool fCalcA = false, fCalcB = false;  // pulled by the calculator

    // Receiving from the computer.
    enum class Rx { Idle, Acking } fRx = Rx::Idle;
    uint8_t fRxByte = 0;
    int fRxBits = 0;

    // Sending to the computer.
    enum class Tx { Idle, Presenting, AwaitRelease } fTx = Tx::Idle;
    int fTxByte = -1;
    int fTxBits = 0;
    int fIdleReads = 0;
    uint32_t fLastProgress = 0;
};
