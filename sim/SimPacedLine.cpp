#include "sim/SimPacedLine.h"

#include <algorithm>

SimPacedLine::SimPacedLine(CalculatorLink& calculator, Clock& clock, Reader reader)
    : fCalc(calculator), fClock(clock), fReader(reader)
{
}

bool SimPacedLine::Open(const std::string&)
{
    fOpen = true;
    return true;
}

void SimPacedLine::Advance()
{
    const uint64_t now = NowMicros();
    const uint64_t drop = uint64_t(halfPacketDropMs) * 1000;
    for (;;) {
        if (fTaken.empty()) {
            if (fHeld.empty())
                break;
            // The reader takes its next helping once the line is free.
            const uint64_t at = std::max(fLineFree, fHeld.front().at);
            if (at > now)
                break;
            const size_t helping = fReader == Reader::Burst ? kBufferBytes : fReader == Reader::Uart ? 16 : 1;
            while (!fHeld.empty() && fTaken.size() < helping && fHeld.front().at <= at) {
                fTaken.push_back(fHeld.front().byte);
                fHeld.pop_front();
            }
            fTakenAt = at;
        }
        const uint64_t start = std::max(fLineFree, fTakenAt);
        if (start + kByteMicros > now)
            break;
        if (fCalc.InPacket() && start - fLastDelivered > drop)
            fCalc.ResetFraming();
        fLineFree = start + kByteMicros;
        fLastDelivered = fLineFree;
        fCalc.Receive(fTaken.front());
        fTaken.pop_front();
        for (char c : fCalc.TakeOutput()) {
            fReplyFree = std::max(fReplyFree, fLineFree) + kByteMicros;
            fReplies.push_back(Timed{static_cast<uint8_t>(c), fReplyFree});
        }
    }
    if (fTaken.empty() && fHeld.empty() && fCalc.InPacket() && now - fLastDelivered > drop)
        fCalc.ResetFraming();
}

void SimPacedLine::Write(const uint8_t* data, size_t count)
{
    const uint64_t now = NowMicros();
    for (size_t i = 0; i < count; ++i)
        fHeld.push_back(Timed{data[i], now});
    mostHeld = std::max(mostHeld, fHeld.size() + fTaken.size());
}

size_t SimPacedLine::WriteSome(const uint8_t* data, size_t count)
{
    Advance();
    const size_t taken = std::min(count, kBufferBytes - std::min(kBufferBytes, fHeld.size()));
    Write(data, taken);
    return taken;
}

bool SimPacedLine::WaitForRoom(int, size_t)
{
    Advance();
    return fHeld.size() < kBufferBytes;
}

void SimPacedLine::DiscardOutput()
{
    // What the reader has taken goes on regardless.
    fHeld.clear();
}

int SimPacedLine::BytesWaiting()
{
    Advance();
    const uint64_t now = NowMicros();
    return static_cast<int>(
        std::count_if(fReplies.begin(), fReplies.end(), [now](const Timed& t) { return t.at <= now; }));
}

int SimPacedLine::ReadOne()
{
    if (BytesWaiting() < 1)
        return -1;
    const uint8_t b = fReplies.front().byte;
    fReplies.pop_front();
    return b;
}

void SimPacedLine::DiscardInput()
{
    Advance();
    const uint64_t now = NowMicros();
    while (!fReplies.empty() && fReplies.front().at <= now)
        fReplies.pop_front();
}

bool SimPacedLine::WaitForInput(int)
{
    return BytesWaiting() > 0;
}
