#include "link/Ti92Link.h"

#include <algorithm>
#include <array>

#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/PacketCommands.h"
#include "link/PollBackoff.h"

namespace {

const char* const kOpenErrorText = "An error occurred while opening the cable's device!";

const char* const kNotReadyText =
    "Calculator is not ready!\r* Check the cable\r* Be sure that you are in homescreen (press "
    "<diamond> and Q)";

// Line A is driven by data bit 0 and read on status bit 5; line B by data
// bit 1 and status bit 4. ReadLines packs them as bit 1 (A) and bit 0 (B).
constexpr uint8_t kLinesIdle = 3;
constexpr uint8_t kPullLineA = 2;
constexpr uint8_t kPullLineB = 1;
constexpr uint8_t kLineAHigh = 2;
constexpr uint8_t kLineBHigh = 1;
constexpr uint8_t kStatusLineA = 0x20;
constexpr uint8_t kStatusLineB = 0x10;
constexpr uint8_t kStatusLines = 0x30;

}  // namespace

Ti92Link::Ti92Link(LinkEnvironment env) : TypeNames(DefaultTypeNames()), fEnv(env)
{
    SetCalculator(92);
}

void Ti92Link::SetCalculator(int model)
{
    try {
        switch (model) {
        case 92:
            fIdSent = 0x09;
            fIdExpected = 0x89;
            break;
        case 82:
            fIdSent = 0x02;
            fIdExpected = 0x82;
            ShowMessage(fEnv.dialogs, "Sorry, TI82 not yet supported!");
            break;
        case 85:
            fIdSent = 0x05;
            fIdExpected = 0x85;
            ShowMessage(fEnv.dialogs, "Sorry, TI85 not yet supported!");
            break;
        default:
            ShowMessage(fEnv.dialogs, "Only the TI92 is supported yet!");
            break;
        }
        fCalculator = 92;
    } catch (...) {
        fCalculator = -1;
    }
}

PortIO& Ti92Link::BitPort()
{
    return Cabletype == 3 && BlackCable ? static_cast<PortIO&>(*BlackCable) : fEnv.portIO;
}

void Ti92Link::PortOut(uint16_t address, uint8_t value)
{
    BitPort().PortOut(address, value);
}

uint8_t Ti92Link::PortIn(uint16_t address)
{
    return BitPort().PortIn(address);
}

void Ti92Link::WriteLines(uint8_t value)
{
    PortOut(PortAdress, value & 3);
}

uint8_t Ti92Link::ReadLines()
{
    auto lines = [this] { return static_cast<uint8_t>((PortIn(PortAdress + 1) & kStatusLines) >> 4); };
    // The modem lines come in one snapshot, and each reading is a round
    // trip on a USB-serial adapter: once is enough.
    if (Cabletype == static_cast<uint8_t>(Cable::Black))
        return lines();
    uint8_t first = lines();
    uint8_t second = lines();
    if (first == second)
        return first;
    return lines();
}

void Ti92Link::ResetPort()
{
    PortOut(PortAdress, 0xFF);
}

void Ti92Link::CheckCableType() const
{
    // A black cable without modem lines to drive must not fall back on the parallel port.
    if (Cabletype < 1 || Cabletype > 4 || (Cabletype == 3 && !BlackCable))
        throw ELinkError("Invalid cable settings. Check your settings.");
}

namespace {
// Milliseconds since start, 0 while start lies ahead (a reply's time-out
// starts once the line has carried the packet); the difference of unsigned
// counts makes a wrap of the counter harmless.
uint32_t Elapsed(uint32_t now, uint32_t start)
{
    const auto elapsed = static_cast<int32_t>(now - start);
    return elapsed < 0 ? 0 : static_cast<uint32_t>(elapsed);
}

uint32_t Since(Clock& clock, uint32_t start)
{
    return Elapsed(clock.GetTickCount(), start);
}

// How long a wait on the serial line runs before events and Abort are seen.
constexpr int kSliceMs = 100;
// Bytes handed at once to a cable not paced by the account (the USB cable
// takes whole 32-byte blocks), and how often a bit cable reports progress.
constexpr size_t kUnpacedPieceBytes = 1024;

// Holds a lowered time-out and gives the old one back however the scope ends.
class LoweredTimeOut {
public:
    LoweredTimeOut(uint16_t& timeOut, uint32_t cap) : fTimeOut(timeOut), fSaved(timeOut)
    {
        fTimeOut = static_cast<uint16_t>(std::min<uint32_t>(fTimeOut, cap));
    }
    ~LoweredTimeOut() { fTimeOut = fSaved; }
    LoweredTimeOut(const LoweredTimeOut&) = delete;
    LoweredTimeOut& operator=(const LoweredTimeOut&) = delete;

private:
    uint16_t& fTimeOut;
    uint16_t fSaved;
};

ELinkError SendTimeout(int bitsOk)
{
    return ELinkError("Timeout occured when sending byte.\r" + std::to_string(bitsOk) + " bit was sent ok.");
}
}  // namespace

void Ti92Link::CheckParallelPort()
{
    if (Cabletype != 1)
        return;
    if (std::string problem = fEnv.portIO.Problem(PortAdress); !problem.empty())
        throw ELinkError(problem);
}

void Ti92Link::SendByte(uint8_t b)
{
    CheckCableType();
    CheckParallelPort();
    uint32_t start = fEnv.clock.GetTickCount();
    if (OnBitCable())
        SendByteParallel(b, start);
    else
        SendByteSerial(b, start);
}

uint16_t Ti92Link::ReceiveByte()
{
    CheckCableType();
    CheckParallelPort();
    uint32_t start = fEnv.clock.GetTickCount();
    if (OnBitCable())
        return ReceiveByteParallel(start);
    return ReceiveByteSerial(ReplyStart());
}

void Ti92Link::SendByteParallel(uint8_t b, uint32_t start)
{
    static constexpr std::array<uint8_t, 8> mask = {1, 2, 4, 8, 16, 32, 64, 128};
    Clock& clock = fEnv.clock;
    bool timedOut = false;
    int i = 0;
    // The lines as last read, when that reading ended a wait; on the black
    // cable the next bit starts from it instead of reading them again.
    int lastRead = -1;
    const bool reuse = Cabletype == static_cast<uint8_t>(Cable::Black);
    // Waits while the given line of ReadLines is in the given state.
    auto waitWhile = [&](uint8_t line, bool high) {
        PollBackoff backoff(clock);
        for (;;) {
            const uint8_t lines = ReadLines();
            lastRead = lines;
            if (((lines & line) != 0) != high || timedOut)
                break;
            const uint32_t now = clock.GetTickCount();
            timedOut = Elapsed(now, start) > TimeOut;
            if (!timedOut)
                backoff.Idle(now);
        }
    };
    // The lines not idle before a bit: the calculator holds one.
    PollBackoff heldLine(clock);
    while (i != 8) {
        const uint8_t lines = reuse && lastRead == kLinesIdle ? kLinesIdle : ReadLines();
        lastRead = -1;
        if (lines == kLinesIdle) {
            if ((b & mask[static_cast<size_t>(i)]) == 0) {
                WriteLines(kPullLineB);
                waitWhile(kLineAHigh, true);
                WriteLines(kLinesIdle);
                waitWhile(kLineAHigh, false);
            } else {
                WriteLines(kPullLineA);
                waitWhile(kLineBHigh, true);
                WriteLines(kLinesIdle);
                waitWhile(kLineBHigh, false);
            }
            ++i;
            heldLine.Moved();
        }
        const uint32_t now = clock.GetTickCount();
        const uint32_t elapsed = Elapsed(now, start);
        timedOut = elapsed > TimeOut;
        if (elapsed > 700 && elapsed < 1100)
            fEnv.pump.ProcessMessages();
        if (timedOut)
            throw SendTimeout(i - 1);
        if (Aborted)
            throw EUserError("Operation aborted.");
        if (lines != kLinesIdle)
            heldLine.Idle(now);
    }
}

uint16_t Ti92Link::ReceiveByteParallel(uint32_t start)
{
    Clock& clock = fEnv.clock;
    const uint16_t status = PortAdress + 1;
    bool timedOut = false;
    uint16_t r = 0;
    auto ackWhileLow = [&](uint8_t statusLine) {
        PollBackoff backoff(clock);
        while ((PortIn(status) & statusLine) == 0 && !timedOut) {
            const uint32_t now = clock.GetTickCount();
            timedOut = Elapsed(now, start) > TimeOut;
            if (!timedOut)
                backoff.Idle(now);
        }
    };
    for (int bit = 0; bit < 8; ++bit) {
        uint8_t s = PortIn(status) & kStatusLines;
        PollBackoff backoff(clock);
        while (s == kStatusLines && !timedOut) {
            const uint32_t now = clock.GetTickCount();
            const uint32_t elapsed = Elapsed(now, start);
            timedOut = elapsed > TimeOut;
            if (!timedOut)
                backoff.Idle(now);
            s = PortIn(status) & kStatusLines;
            if (elapsed > 700)
                fEnv.pump.ProcessMessages();
        }
        if (timedOut)
            break;
        if (s == kStatusLineB) {
            // Line A low: a 1 bit; acknowledge on line B.
            r = static_cast<uint16_t>((r >> 1) | 0x80);
            PortOut(PortAdress, kPullLineB);
            ackWhileLow(kStatusLineA);
        } else {
            // Line B low (or both): a 0 bit; acknowledge on line A.
            r = static_cast<uint16_t>(r >> 1);
            PortOut(PortAdress, kPullLineA);
            ackWhileLow(kStatusLineB);
        }
        PortOut(PortAdress, kLinesIdle);
    }
    if (timedOut)
        throw ELinkError("Timeout occured when receiving byte.");
    if (Aborted)
        throw EUserError("Operation aborted.");
    return r;
}

void Ti92Link::SendByteSerial(uint8_t b, uint32_t start)
{
    if (SerialPort* serialPort = BytePort()) {
        serialPort->PurgeInput();
        serialPort->WriteData(&b, 1);
        NoteLineBusy(start, 1);
    }
    if (Since(fEnv.clock, start) > TimeOut)
        throw SendTimeout(-1);
    if (Aborted)
        throw EUserError("Operation aborted.");
}

uint16_t Ti92Link::ReceiveByteSerial(uint32_t start)
{
    SerialPort* serialPort = BytePort();
    if (serialPort)
        serialPort->PurgeOutput();
    int r = -1;
    bool timedOut = false;
    uint32_t lastPump = fEnv.clock.GetTickCount();
    do {
        r = serialPort ? serialPort->ReadByte() : -1;
        // A device that went away answers nothing ever again: say so now
        // rather than after the time-out.
        if (r == -1 && serialPort && serialPort->IsBroken())
            throw ELinkError(serialPort->BrokenText());
        const uint32_t now = fEnv.clock.GetTickCount();
        // While the line still carries what was sent, the time-out has not
        // begun; the window and Abort are served in slices meanwhile.
        const bool lineBusy = static_cast<int32_t>(start - now) > 0;
        const uint32_t elapsed = Since(fEnv.clock, start);
        timedOut = elapsed > TimeOut;
        if (elapsed > 700) {
            fEnv.pump.ProcessMessages();
        } else if (lineBusy && now - lastPump >= uint32_t(kSliceMs)) {
            lastPump = now;
            fEnv.pump.ProcessMessages();
            if (Aborted)
                throw EUserError("Operation aborted.");
        }
        // Sleep on the line for a slice instead of spinning a core; input
        // ends the sleep at once.
        if (r == -1 && !timedOut && serialPort)
            serialPort->WaitForInput(lineBusy ? std::min<int>(kSliceMs / 2, int(start - now)) : 1);
    } while (r == -1 && !timedOut);
    if (timedOut)
        throw ELinkError("Timeout occured when receiving byte.");
    if (Aborted)
        throw EUserError("Operation aborted.");
    return static_cast<uint16_t>(r);
}

std::string Ti92Link::BlackCableDevice() const
{
    return SerialPort::DevicePath(serialPort ? static_cast<int>(serialPort->CommPort()) + 1 : 1);
}

std::string Ti92Link::OpenCable()
{
    if (Cabletype == 3) {
        if (!BlackCable)
            return "no modem lines to drive";
        return BlackCable->Open(BlackCableDevice()) ? std::string() : BlackCable->OpenError();
    }
    SerialPort* port = BytePort();
    if (!port)
        return "no port";
    return port->OpenPort() ? std::string() : port->OpenError();
}

void Ti92Link::Open()
{
    fLineDirty = true;
    if (const std::string reason = OpenCable(); !reason.empty())
        fEnv.dialogs.MessageBox(std::string(kOpenErrorText) + "\r" + reason, "Linkwise", MsgIcon::Error,
                                MsgButtons::Ok);
    fEnv.pump.ProcessMessages();
}

void Ti92Link::ReopenBrokenPort()
{
    if (Cabletype == 1)
        return;
    if (Cabletype == 3) {
        if (!BlackCable || (BlackCable->IsOpen() && !BlackCable->IsBroken()))
            return;
    } else {
        const SerialPort* port = BytePort();
        if (!port || (port->IsOpen() && !port->IsBroken()))
            return;
    }
    if (const std::string reason = OpenCable(); !reason.empty())
        throw ELinkError(std::string(kOpenErrorText) + "\r" + reason);
    fLineDirty = true;
}

void Ti92Link::WaitForQuietLine(uint32_t quietMs, uint32_t limitMs)
{
    Clock& clock = fEnv.clock;
    SerialPort* serialPort = BytePort();
    const uint32_t start = clock.GetTickCount();
    // Quiet counts from when the line is free by the account: bytes still on
    // their way keep the calculator busy, and a half packet needs its own
    // time to be given up.
    const auto outstanding = static_cast<uint32_t>((OutstandingMicros(start) + 999) / 1000);
    const uint32_t quiet = fSendCut ? std::max(quietMs, kCutPacketQuietMs) : quietMs;
    const uint32_t limit = limitMs + outstanding + (quiet - quietMs);
    uint32_t lastByte = start + outstanding;
    uint32_t lastPump = start;
    PollBackoff backoff(clock);
    for (;;) {
        bool arrived = false;
        if (!OnBitCable()) {
            if (serialPort && serialPort->ReadByte() >= 0) {
                serialPort->PurgeInput();
                arrived = true;
            }
        } else if (ReadLines() != kLinesIdle) {
            // The calculator is sending bit by bit: take its bytes, within
            // what is left of the limit, so it can finish.
            const LoweredTimeOut lowered(TimeOut, limitMs);
            try {
                ReceiveByte();
            } catch (const ELinkError&) {
            }
            arrived = true;
        }
        const uint32_t now = clock.GetTickCount();
        if (arrived && static_cast<int32_t>(now - lastByte) > 0)
            lastByte = now;
        if (static_cast<int32_t>(now - lastByte) >= static_cast<int32_t>(quiet) || now - start >= limit)
            break;
        if (now - lastPump >= 50) {
            lastPump = now;
            fEnv.pump.ProcessMessages();
        }
        if (Aborted)
            throw EUserError("Operation aborted.");
        if (OnBitCable()) {
            // Nothing is lost meanwhile: the calculator holds its bit until
            // it is acknowledged.
            if (arrived)
                backoff.Moved();
            else
                backoff.Idle(now);
        } else if (serialPort) {
            serialPort->WaitForInput(1);
        }
    }
    if (!OnBitCable() && serialPort)
        serialPort->PurgeInput();
    fSendCut = false;
}

void Ti92Link::PrepareLine(uint32_t quietMs, uint32_t limitMs)
{
    CheckCableType();
    CheckParallelPort();
    ReopenBrokenPort();
    fMayFindHalfPacket = LineDirty();
    if (fMayFindHalfPacket) {
        // What the failed conversation left in the device would only end
        // the calculator's half packet later.
        if (!OnBitCable() && LineBusyAt(fEnv.clock.GetTickCount()))
            CutSend();
        WaitForQuietLine(quietMs, limitMs);
    } else if (!OnBitCable() && BytePort()) {
        BytePort()->PurgeInput();
    }
    fLineDirty = false;
    fErrorsSeen = ELinkwiseError::Raised();
}

bool Ti92Link::LineDirty() const
{
    return fLineDirty || ELinkwiseError::Raised() != fErrorsSeen;
}

size_t Ti92Link::SliceBytes() const
{
    const SerialPort* port = BytePort();
    if (!port)
        return 1;
    return std::max<size_t>(1, static_cast<size_t>(kSliceMs * 1000 / std::max<uint64_t>(1, port->LineMicros(1))));
}

uint32_t Ti92Link::LineTimeMs(size_t count) const
{
    const SerialPort* port = BytePort();
    return port ? static_cast<uint32_t>((port->LineMicros(count) + 999) / 1000) : 0;
}

bool Ti92Link::LineBusyAt(uint32_t now) const
{
    return static_cast<int32_t>(fLineFree - now) > 0;
}

void Ti92Link::NoteLineBusy(uint32_t start, size_t count)
{
    // The bytes go on the line after those still on it, or from the start
    // of the write when it was free.
    if (!LineBusyAt(start)) {
        fLineFree = start;
        fLineFreeMicros = 0;
    }
    const uint64_t micros = fLineFreeMicros + BytePort()->LineMicros(count);
    fLineFree += static_cast<uint32_t>(micros / 1000);
    fLineFreeMicros = static_cast<uint32_t>(micros % 1000);
    // A write that took longer than the line (a device that made it wait)
    // ends no earlier than the write itself.
    const uint32_t now = fEnv.clock.GetTickCount();
    if (!LineBusyAt(now)) {
        fLineFree = now;
        fLineFreeMicros = 0;
    }
}

uint32_t Ti92Link::ReplyStart()
{
    const uint32_t now = fEnv.clock.GetTickCount();
    return !OnBitCable() && LineBusyAt(now) ? fLineFree : now;
}

uint64_t Ti92Link::OutstandingMicros(uint32_t now) const
{
    if (!LineBusyAt(now))
        return 0;
    return uint64_t(fLineFree - now) * 1000 + fLineFreeMicros;
}

void Ti92Link::CutSend()
{
    fLineDirty = true;
    fSendCut = true;
    if (SerialPort* port = BytePort())
        port->DropOutput();
}

void Ti92Link::SettleAfterCut()
{
    SerialPort* port = BytePort();
    if (OnBitCable() || !port || !port->IsOpen())
        return;
    Clock& clock = fEnv.clock;
    if (LineDirty() && LineBusyAt(clock.GetTickCount()))
        CutSend();
    if (!fSendCut)
        return;
    const uint32_t start = clock.GetTickCount();
    const uint32_t until = start + static_cast<uint32_t>((OutstandingMicros(start) + 999) / 1000) + kCutPacketQuietMs;
    for (uint32_t now = start; static_cast<int32_t>(until - now) > 0; now = clock.GetTickCount())
        port->Pause(static_cast<int>(std::min<uint32_t>(kSliceMs / 2, until - now)));
    fSendCut = false;
}

void Ti92Link::WriteInSlices(const uint8_t* data, size_t count, size_t& done, const SendProgress& progress)
{
    // The grey cable's devices may hold seconds of line time (a UART's
    // queue, an adapter's or a network server's buffer) and not all of them
    // say how much: the account decides. Half a slice at a time, while the
    // line has at most half a slice left to carry.
    SerialPort* serialPort = BytePort();
    const bool paced = Cabletype == static_cast<uint8_t>(Cable::Grey);
    const size_t slice = SliceBytes();
    const size_t piece = paced ? std::max<size_t>(1, slice / 2) : kUnpacedPieceBytes;
    const uint64_t byteMicros = std::max<uint64_t>(1, serialPort->LineMicros(1));
    while (done < count) {
        const uint32_t now = fEnv.clock.GetTickCount();
        const size_t next = std::min(piece, count - done);
        const uint64_t queued = paced ? (OutstandingMicros(now) + byteMicros - 1) / byteMicros : 0;
        const size_t room = !paced ? next : queued >= slice ? 0 : slice - static_cast<size_t>(queued);
        if (room >= next) {
            const uint32_t freeBefore = fLineFree;
            const size_t taken = serialPort->WriteSome(data + done, next);
            // The time-out runs from when the line was free by the account:
            // a device that kept the bytes back that long is stuck.
            const bool late = Since(fEnv.clock, freeBefore) > TimeOut;
            if (taken > 0) {
                NoteLineBusy(now, taken);
                done += taken;
                if (progress)
                    progress(done);
            }
            if (late)
                throw SendTimeout(-1);
            if (done >= count)
                return;
            if (taken < next) {
                if (serialPort->IsBroken())
                    throw ELinkError(serialPort->BrokenText());
                // The device holds more than the line can have carried: a
                // reader slower than the line. Wait for it to take more.
                serialPort->WaitForRoom(kSliceMs / 2, slice);
                if (Since(fEnv.clock, fLineFree) > TimeOut)
                    throw SendTimeout(-1);
            }
        } else {
            const uint64_t waitMicros = (queued - (slice - next)) * byteMicros;
            serialPort->Pause(static_cast<int>(std::clamp<uint64_t>(waitMicros / 1000, 1, kSliceMs)));
        }
        fEnv.pump.ProcessMessages();
        if (Aborted)
            throw EUserError("Operation aborted.");
    }
}

void Ti92Link::Close()
{
    SettleAfterCut();
    if (serialPort)
        serialPort->ClosePort();
    if (UsbCable)
        UsbCable->ClosePort();
    if (BlackCable)
        BlackCable->Close();
    serialPort = nullptr;
}

void Ti92Link::SendAck()
{
    SendBytes(std::string{static_cast<char>(fIdSent), static_cast<char>(Cmd::ACK), 0, 0});
}

void Ti92Link::SendReady()
{
    SendBytes(std::string{static_cast<char>(fIdSent), static_cast<char>(Cmd::RDY), 0, 0});
}

void Ti92Link::SendCts()
{
    SendBytes(std::string{static_cast<char>(fIdSent), static_cast<char>(Cmd::CTS), 0, 0});
}

void Ti92Link::SendString(const std::string& s)
{
    // One write for the packet: byte by byte, each waiting until it has left
    // the port, the line idles between the bytes.
    SendBytes(s);
}

void Ti92Link::SendBytes(const std::string& bytes, const SendProgress& progress)
{
    CheckCableType();
    SerialPort* serialPort = BytePort();
    if (OnBitCable() || bytes.size() <= 1 || !serialPort) {
        for (size_t i = 0; i < bytes.size(); ++i) {
            SendByte(static_cast<uint8_t>(bytes[i]));
            if (progress && ((i + 1) % kUnpacedPieceBytes == 0 || i + 1 == bytes.size()))
                progress(i + 1);
        }
        return;
    }
    const uint32_t start = fEnv.clock.GetTickCount();
    if (!LineBusyAt(start)) {
        fLineFree = start;
        fLineFreeMicros = 0;
    }
    serialPort->PurgeInput();
    size_t done = 0;
    try {
        WriteInSlices(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), done, progress);
        if (Aborted)
            throw EUserError("Operation aborted.");
    } catch (...) {
        if ((done > 0 && done < bytes.size()) || LineBusyAt(fEnv.clock.GetTickCount()))
            CutSend();
        throw;
    }
}

std::string Ti92Link::SendWord(uint16_t w)
{
    uint8_t low = static_cast<uint8_t>(w % 256);
    uint8_t high = static_cast<uint8_t>(w / 256);
    SendByte(low);
    SendByte(high);
    return std::string{static_cast<char>(low), static_cast<char>(high)};
}

bool Ti92Link::ReadMachineId(uint32_t start)
{
    LastReply = AckReply{};
    uint16_t b = 0;
    for (;;) {
        b = ReceiveByte();
        if (b == fIdExpected || Since(fEnv.clock, start) > 2000)
            break;
        ++LastReply.skipped;
    }
    return b == fIdExpected;
}

bool Ti92Link::GetReply(uint8_t expected)
{
    const uint32_t start = ReplyStart();
    bool gotId = ReadMachineId(start);
    if (Since(fEnv.clock, start) >= 2000 || !gotId) {
        fLineDirty = true;
        return false;
    }
    LastReply.answered = true;
    const uint16_t command = ReceiveByte();
    LastReply.command = static_cast<uint8_t>(command);
    // A clear to send also acknowledges what came before it.
    const bool accepted = command == expected || (expected == Cmd::ACK && command == Cmd::CTS);
    if (LastReply.skipped > 0 || !accepted)
        fLineDirty = true;
    // A refused clear to send leaves its word on the line for PrepareLine to drop.
    if (!accepted && expected == Cmd::CTS && command != Cmd::SKIP)
        return false;
    LastReply.word = ReceiveByte();
    LastReply.word = static_cast<uint16_t>(LastReply.word | ReceiveByte() << 8);
    // A refusal carries its reason; it is taken whole and acknowledged.
    if (command == Cmd::SKIP)
        LastReply.refusalCode = ReceiveSkipReason(*this, LastReply.word);
    return accepted;
}

bool Ti92Link::GetAck()
{
    return GetReply(Cmd::ACK);
}

bool Ti92Link::GetCts()
{
    return GetReply(Cmd::CTS);
}

bool Ti92Link::CheckReady()
{
    const bool mayFindHalfPacket = fMayFindHalfPacket;
    fMayFindHalfPacket = false;
    try {
        bool ok = false;
        try {
            SendReady();
            ok = GetAck();
        } catch (const ELinkError&) {
            if (!mayFindHalfPacket)
                throw;
            // A program killed mid-packet leaves the calculator waiting for
            // the rest, and the ready check was taken for it: once the
            // calculator has given the half packet up, ask again.
            WaitForQuietLine(kCutPacketQuietMs, kQuietLineLimitMs);
            SendReady();
            ok = GetAck();
        }
        if (ok && CalcReadyIndicator)
            CalcReadyIndicator->SetBrushColor(kLampGreen);
        fEnv.clock.Sleep(200);
        return ok;
    } catch (const EUserError&) {
        if (CalcReadyIndicator)
            CalcReadyIndicator->SetBrushColor(kLampRed);
        throw;
    } catch (const std::exception& e) {
        if (CalcReadyIndicator)
            CalcReadyIndicator->SetBrushColor(kLampRed);
        throw ELinkError(std::string(kNotReadyText) + "\rCause: " + e.what());
    } catch (...) {
        if (CalcReadyIndicator)
            CalcReadyIndicator->SetBrushColor(kLampRed);
        throw ELinkError(kNotReadyText);
    }
}
