#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "link/Clock.h"
#include "link/Dialogs.h"
#include "link/EventPump.h"
#include "link/ModemLinePortIO.h"
#include "link/PortIO.h"
#include "link/ReadyLamp.h"
#include "link/SerialPort.h"
#include "link/TypeNames.h"

// Everything the link object needs from its surroundings.
struct LinkEnvironment {
    Clock& clock;
    EventPump& pump;
    Dialogs& dialogs;
    PortIO& portIO;
};

// The cables, as the link's Cabletype byte holds them. The parallel and the
// black serial cable move the two wires bit by bit (one handshake, two kinds
// of port I/O); the grey and the USB cable carry whole bytes.
enum class Cable : uint8_t { Parallel = 1, Grey = 2, Black = 3, Usb = 4 };

// The link object: every conversation with the calculator passes through it.
// Byte transport over the cable Cabletype names, the packet operations and
// the ready check.
class Ti92Link {
public:
    explicit Ti92Link(LinkEnvironment env);

    // Published properties.
    uint16_t PortAdress = 888;
    uint16_t TimeOut = 1500;
    uint8_t Cabletype = 1;
    ReadyLamp* CalcReadyIndicator = nullptr;
    SerialPort* serialPort = nullptr;  // lent, not owned, until Close
    // Lent like serialPort. The black cable drives the modem lines of the
    // device serialPort's port number leads to; the USB cable is a port of its own.
    ModemLinePortIO* BlackCable = nullptr;
    SerialPort* UsbCable = nullptr;
    uint8_t Aborted = 0;  // set by the user's Abort
    TypeNameTable TypeNames;

    int Calculator() const { return fCalculator; }
    void SetCalculator(int model);
    uint8_t MachineIdSent() const { return fIdSent; }
    uint8_t MachineIdExpected() const { return fIdExpected; }

    // Byte transport.
    void PortOut(uint16_t address, uint8_t value);
    uint8_t PortIn(uint16_t address);
    void WriteLines(uint8_t value);
    uint8_t ReadLines();
    void ResetPort();
    void SendByte(uint8_t b);
    uint16_t ReceiveByte();
    void Open();
    // Opens the device of the cable Cabletype names (not the parallel
    // port's, which opens on first use); gives the reason when that fails,
    // else nothing.
    std::string OpenCable();
    // Closes the COM port (and the other cables' devices) and gives up the
    // serial-port component. After a packet cut short it first throws away
    // what the device holds and waits, as PrepareLine would, so the next
    // program to open the line finds the calculator listening.
    void Close();

    // Packets and readiness.
    void SendAck();
    void SendReady();
    void SendCts();
    void SendString(const std::string& s);
    // The bytes in order, as SendByte would send them one by one: a whole
    // packet. On the grey cable they are handed over as the line carries
    // them, never more than a slice ahead of it by the link's own account
    // (whatever the device says it holds), so the line has no gaps and an
    // Abort is heard within a slice; the USB cable takes them as fast as it
    // can. A device that takes nothing for TimeOut after the line is free
    // by that account ends the send with a time-out. `progress` hears how
    // many bytes are handed over so far, between slices.
    using SendProgress = std::function<void(size_t handed)>;
    void SendBytes(const std::string& bytes, const SendProgress& progress = {});
    std::string SendWord(uint16_t w);
    bool GetAck();
    bool GetCts();
    // The ready check. On a line PrepareLine found dirty a time-out is
    // tried once more, after the calculator has given up a half packet.
    bool CheckReady();

    // What the last GetAck or GetCts read, so a caller can say why it was no
    // acknowledgement (AckProblem in link/PacketCheck.h).
    struct AckReply {
        bool answered = false;  // the machine id came
        int skipped = 0;        // bytes read before it
        uint8_t command = 0;
        uint16_t word = 0;
        int refusalCode = -1;  // a whole SKIP's reason
    };
    AckReply LastReply;

    // Readies the line for a new conversation; call it before a
    // conversation's first packet. On every cable but the parallel one a
    // device that is closed or was found gone is opened again (ELinkError saying why when that
    // fails). Unread input is thrown away. When the line may still carry a
    // calculator's answer (see LineDirty) it first waits until nothing has
    // arrived for `quietMs`, at most `limitMs` in all (on the link's clock,
    // letting events run; Abort works): the rest of a conversation that an
    // abort or a damaged reply cut short.
    // After a packet was cut short the device's output is thrown away and
    // the wait also covers the line time still outstanding by the account,
    // then kCutPacketQuietMs, so the calculator has given up the half packet.
    static constexpr uint32_t kQuietLineMs = 300;
    static constexpr uint32_t kQuietLineLimitMs = 3000;
    static constexpr uint32_t kCutPacketQuietMs = 1200;
    void PrepareLine(uint32_t quietMs = kQuietLineMs, uint32_t limitMs = kQuietLineLimitMs);
    // Whether the next conversation must wait for a quiet line: before the
    // first one after opening the port, and after one that failed in any
    // way (abort, time-out, a damaged, refused or unexpected reply, a file
    // error halfway). After a clean one the calculator is silent.
    bool LineDirty() const;
    void MarkLineDirty() { fLineDirty = true; }

    // Bytes handed to the serial line at most at once, and the most left
    // queued in the device: about a tenth of a second of line time, so the
    // window and Abort are heard between them.
    size_t SliceBytes() const;

    Clock& clock() { return fEnv.clock; }
    EventPump& pump() { return fEnv.pump; }
    Dialogs& dialogs() { return fEnv.dialogs; }

private:
    void CheckCableType() const;
    void CheckParallelPort();
    bool OnBitCable() const { return Cabletype == 1 || Cabletype == 3; }
    PortIO& BitPort();
    SerialPort* BytePort() const { return Cabletype == 4 ? UsbCable : serialPort; }
    std::string BlackCableDevice() const;
    void SendByteParallel(uint8_t b, uint32_t start);
    void SendByteSerial(uint8_t b, uint32_t start);
    uint16_t ReceiveByteParallel(uint32_t start);
    uint16_t ReceiveByteSerial(uint32_t start);
    bool ReadMachineId(uint32_t start);
    // One 4-byte reply: true when its command is `expected` (for an ACK, a
    // CTS too); LastReply says what came.
    bool GetReply(uint8_t expected);
    void ReopenBrokenPort();
    void WaitForQuietLine(uint32_t quietMs, uint32_t limitMs);
    void WriteInSlices(const uint8_t* data, size_t count, size_t& done, const SendProgress& progress);
    void NoteLineBusy(uint32_t start, size_t count);
    uint64_t OutstandingMicros(uint32_t now) const;
    // A send ended early: what the device still holds would reach the
    // calculator as a half packet.
    void CutSend();
    void SettleAfterCut();
    uint32_t ReplyStart();
    bool LineBusyAt(uint32_t now) const;
    uint32_t LineTimeMs(size_t count) const;

    LinkEnvironment fEnv;
    int fCalculator = 92;
    uint8_t fIdSent = 0x09;
    uint8_t fIdExpected = 0x89;
    bool fLineDirty = true;
    uint64_t fErrorsSeen = 0;
    // When the last byte written can have left the serial line: a deep
    // device buffer takes a packet long before the calculator has read it.
    uint32_t fLineFree = 0;
    uint32_t fLineFreeMicros = 0;  // the part of a millisecond beyond fLineFree
    bool fSendCut = false;         // the calculator may hold a half packet
    // The conversation began on a line that was just opened or left by a
    // failure: its ready check is tried a second time.
    bool fMayFindHalfPacket = false;
};
