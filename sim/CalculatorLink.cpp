#include "sim/CalculatorLink.h"

#include "sim/BackupFromComputerConversation.h"
#include "sim/BackupToComputerConversation.h"
#include "sim/DirectoryConversation.h"
#include "sim/ScreenshotConversation.h"
#include "sim/VariableFromComputerConversation.h"
#include "sim/VariableRequestConversation.h"

CalculatorLink::CalculatorLink(VirtualTI92& calc) : fCalc(calc) {}

CalculatorLink::~CalculatorLink() = default;

void CalculatorLink::Receive(uint8_t b)
{
    if (fReader.Feed(b))
        OnPacket(fReader.Packet());
}

void CalculatorLink::Receive(const std::string& bytes)
{
    for (char c : bytes)
        Receive(static_cast<uint8_t>(c));
}

void CalculatorLink::ResetFraming()
{
    fReader.Reset();
}

int CalculatorLink::TakeByte()
{
    if (!HasOutput())
        return -1;
    const uint8_t b = static_cast<uint8_t>(fOut[fOutPos++]);
    if (fOutPos == fOut.size()) {
        fOut.clear();
        fOutPos = 0;
    }
    return b;
}

std::string CalculatorLink::TakeOutput()
{
    std::string s = fOut.substr(fOutPos);
    DiscardOutput();
    return s;
}

void CalculatorLink::DiscardOutput()
{
    fOut.clear();
    fOutPos = 0;
}

void CalculatorLink::Emit(const std::string& bytes)
{
    if (faults.silent)
        return;
    for (char c : bytes) {
        if (faults.silentAfterBytes >= 0 && fEmitted >= faults.silentAfterBytes)
            return;
        if (const auto aimed = faults.replaceBytes.find(fEmitted); aimed != faults.replaceBytes.end())
            c = static_cast<char>(aimed->second);
        ++fEmitted;
        c = Damaged(c);
        fOut += c;
        if (keepLog)
            fSent += c;
    }
}

char CalculatorLink::Damaged(char c)
{
    if (faults.damagePerMillion == 0)
        return c;
    if (!fNoiseSeeded) {
        fNoise.seed(faults.damageSeed);
        fNoiseSeeded = true;
    }
    // The generator's raw output is the same everywhere, unlike the
    // library's distributions.
    if (fNoise() % 1000000 >= faults.damagePerMillion)
        return c;
    ++fDamaged;
    return static_cast<char>(c ^ (1 << (fNoise() % 8)));
}

void CalculatorLink::SendAck()
{
    Emit(faults.garbageBeforeAck);
    SendShort(Cmd::ACK);
}

void CalculatorLink::SendShort(uint8_t cmd, uint16_t word)
{
    Emit(BuildShortPacket(kIdFromCalculator, cmd, word));
}

void CalculatorLink::SendData(uint8_t cmd, const std::string& data, bool damaged)
{
    Emit(BuildDataPacket(kIdFromCalculator, cmd, data, damaged));
}

void CalculatorLink::SendRefusal(uint8_t code)
{
    SendData(Cmd::SKIP, std::string(1, static_cast<char>(code)));
}

void CalculatorLink::SendChecksumError()
{
    SendShort(SimCmd::ERR);
}

void CalculatorLink::OnPacket(const SimPacket& p)
{
    if (keepLog)
        fReceived.push_back(p);
    if (onPacket)
        onPacket(p);
    if (faults.silent)
        return;
    if (fActive) {
        switch (fActive->OnPacket(p)) {
        case SimConversation::Result::Continue:
            return;
        case SimConversation::Result::Done:
            fActive.reset();
            return;
        case SimConversation::Result::NotMine:
            // The computer gave up on the conversation and started another.
            fActive.reset();
            break;
        }
    }
    Start(p);
}

void CalculatorLink::Run(std::unique_ptr<SimConversation> c, const SimPacket& opening)
{
    if (c->Begin(opening) == SimConversation::Result::Continue)
        fActive = std::move(c);
}

void CalculatorLink::Start(const SimPacket& p)
{
    if (p.hasData && !p.checksumOk) {
        SendChecksumError();
        return;
    }
    const uint8_t type = p.data.size() > 4 ? static_cast<uint8_t>(p.data[4]) : 0xFF;
    switch (p.cmd) {
    case Cmd::RDY:
        if (faults.refuseReady)
            SendRefusal();
        else
            SendAck();
        return;
    case Cmd::KEY:
        fCalc.PressKey(p.word);
        SendAck();
        return;
    case Cmd::SCR:
        Run(std::make_unique<ScreenshotConversation>(*this), p);
        return;
    case Cmd::REQ:
        if (p.data.size() < 5) {
            SendRefusal();
        } else if (type == kTypeDirectoryRequest) {
            Run(std::make_unique<DirectoryConversation>(*this), p);
        } else if (type == kTypeBackup) {
            Run(std::make_unique<BackupToComputerConversation>(*this), p);
        } else {
            ++fVariableRequests;
            Run(std::make_unique<VariableRequestConversation>(*this, fVariableRequests), p);
        }
        return;
    case Cmd::VAR:
        if (p.data.size() < 5)
            SendRefusal();
        else if (type == kTypeBackup)
            Run(std::make_unique<BackupFromComputerConversation>(*this), p);
        else
            Run(std::make_unique<VariableFromComputerConversation>(*this), p);
        return;
    default:
        // A stray ACK, CTS, EOT or DATA outside any conversation: ignored.
        return;
    }
}
