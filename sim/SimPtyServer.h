#pragma once
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

#include "sim/CalculatorLink.h"
#include "sim/SimPacedLine.h"

// Serves the virtual TI-92 on a pseudo-terminal: the computer opens the
// slave as its serial port; the server moves bytes between the master and
// the calculator. Single-threaded, driven by poll(). With a baud rate set,
// every byte takes its line time (10 bits) in each direction: the server
// takes the computer's bytes out of the pseudo-terminal only as fast as the
// line carries them, so a long write waits in the terminal's buffer as it
// would in a USB adapter's, and the computer has to wait for a slow reader.
// The reader (see SimPacedLine) says how the device takes bytes out of its
// buffer: a UART's FIFO, byte by byte, or 4 KB bursts.
class SimPtyServer {
public:
    explicit SimPtyServer(CalculatorLink& calculator);
    ~SimPtyServer();
    SimPtyServer(const SimPtyServer&) = delete;
    SimPtyServer& operator=(const SimPtyServer&) = delete;

    // Creates the pseudo-terminal; false with a message in `error`.
    bool Open(std::string& error);
    const std::string& SlavePath() const { return fSlavePath; }

    void SetBaud(int baud) { fBaud = baud; }  // 0: no pacing
    void SetReader(SimPacedLine::Reader reader) { fReader = reader; }
    // Bytes of a half-received packet are dropped after this pause.
    int framingResetMs = 1000;

    // Waits at most `timeoutMs` for something to do, then does it.
    void Step(int timeoutMs);
    // Steps until `stop` becomes non-zero.
    void Run(const volatile int& stop);

    uint64_t BytesIn() const { return fBytesIn; }
    uint64_t BytesOut() const { return fBytesOut; }

private:
    using TimePoint = std::chrono::steady_clock::time_point;
    std::chrono::microseconds ByteTime() const;
    void ReadMaster(TimePoint now);
    bool ReadyForInput(TimePoint now) const;
    void FeedDue(TimePoint now);
    void WriteDue(TimePoint now);
    std::chrono::microseconds NextWake(TimePoint now, int limitMs) const;

    CalculatorLink& fCalc;
    int fMaster = -1;
    int fSlaveKeep = -1;  // keeps the line raw and the master readable between clients
    std::string fSlavePath;
    int fBaud = 0;
    SimPacedLine::Reader fReader = SimPacedLine::Reader::Uart;
    int ReadAheadBytes() const { return fReader == SimPacedLine::Reader::Pty ? 1 : 16; }

    struct Timed {
        uint8_t byte;
        TimePoint due;
    };
    std::deque<Timed> fIn;    // received, not yet given to the calculator
    TimePoint fInLineFree{};  // when the line is done with the last byte taken
    bool fInIdle = true;      // the computer had nothing more to send
    std::string fOut;         // taken from the calculator, not yet written
    TimePoint fOutNext{};     // when the next output byte may be written
    TimePoint fLastInput{};   // when the calculator got the last byte
    TimePoint fHangupUntil{};
    uint64_t fBytesIn = 0;
    uint64_t fBytesOut = 0;
};
