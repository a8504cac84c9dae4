#pragma once
#include <cstdint>
#include <deque>
#include <string>

#include "link/Clock.h"
#include "link/SerialDevice.h"
#include "sim/CalculatorLink.h"

// The grey cable at 9600 baud through a device that holds what the computer
// hands it, on the link's clock: the calculator gets each byte when it has
// crossed the line and its replies come back at the same pace. How the
// device passes its buffer on to the line is one of three readers:
// - Uart: a 16-byte FIFO that it refills as the line empties it;
// - Pty: one byte at a time, as the line frees up;
// - Burst: whatever is waiting (up to 4 KB) at once, then nothing until
//   those bytes have crossed.
// No reader tells the computer how much it holds. The calculator gives up a
// half-received packet after `halfPacketDropMs` of silence on the line.
class SimPacedLine : public SerialDevice {
public:
    enum class Reader { Uart, Pty, Burst };
    SimPacedLine(CalculatorLink& calculator, Clock& clock, Reader reader);

    bool Open(const std::string& path) override;
    void Close() override { fOpen = false; }
    bool IsOpen() const override { return fOpen; }
    bool Apply(const SerialLineSettings&) override { return fOpen; }
    void Write(const uint8_t* data, size_t count) override;
    size_t WriteSome(const uint8_t* data, size_t count) override;
    bool WaitForRoom(int milliseconds, size_t backlog) override;
    void DiscardOutput() override;
    int BytesWaiting() override;
    int ReadOne() override;
    void DiscardInput() override;
    bool WaitForInput(int milliseconds) override;

    static constexpr size_t kBufferBytes = 4096;
    static constexpr uint64_t kByteMicros = 10'000'000 / 9600;
    uint32_t halfPacketDropMs = 1000;
    // The most bytes the device held at once, handed over but not yet on the line.
    size_t mostHeld = 0;

private:
    struct Timed {
        uint8_t byte;
        uint64_t at;  // microseconds: handed over, or due at the computer
    };
    void Advance();
    uint64_t NowMicros() { return uint64_t(fClock.GetTickCount()) * 1000; }

    CalculatorLink& fCalc;
    Clock& fClock;
    Reader fReader;
    bool fOpen = false;
    std::deque<Timed> fHeld;     // in the device's buffer
    std::deque<uint8_t> fTaken;  // taken by the reader, crossing the line in turn
    uint64_t fTakenAt = 0;       // when the reader took them
    uint64_t fLineFree = 0;      // towards the calculator
    uint64_t fLastDelivered = 0;
    std::deque<Timed> fReplies;
    uint64_t fReplyFree = 0;  // towards the computer
};
