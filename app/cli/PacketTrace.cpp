#include "app/cli/PacketTrace.h"

#include <cstdio>
#include <ostream>

#include "link/PacketCommands.h"

namespace {

constexpr size_t kShownData = 16;

bool CarriesData(uint8_t command)
{
    // Variable headers, data, requests, skips and requests to send.
    return command == Cmd::VAR || command == Cmd::DATA || command == Cmd::REQ || command == 0x36 || command == 0xC9;
}

}  // namespace

std::string PacketCommandName(uint8_t command)
{
    switch (command) {
    case Cmd::VAR:
        return "VAR";
    case Cmd::CTS:
        return "CTS";
    case Cmd::DATA:
        return "DATA";
    case Cmd::ACK:
        return "ACK";
    case Cmd::RDY:
        return "RDY";
    case Cmd::SCR:
        return "SCR";
    case Cmd::KEY:
        return "KEY";
    case Cmd::EOT:
        return "EOT";
    case Cmd::REQ:
        return "REQ";
    case 0x36:
        return "SKIP";
    case 0xC9:
        return "RTS";
    default:
        return {};
    }
}

void PacketTrace::Add(uint8_t byte)
{
    fPacket += static_cast<char>(byte);
    if (fPacket.size() == 4 && CarriesData(static_cast<uint8_t>(fPacket[1]))) {
        const size_t length = static_cast<uint8_t>(fPacket[2]) + 256u * static_cast<uint8_t>(fPacket[3]);
        fExpected = 4 + length + 2;
    }
    if (fPacket.size() >= fExpected)
        Print();
}

void PacketTrace::Print()
{
    std::string line(1, fDirection);
    char hex[4];
    const size_t shown = fPacket.size() > 4 + kShownData + 2 ? 4 + kShownData : fPacket.size();
    for (size_t i = 0; i < shown; ++i) {
        std::snprintf(hex, sizeof hex, " %02X", static_cast<uint8_t>(fPacket[i]));
        line += hex;
    }
    if (shown < fPacket.size())
        line += " ... (" + std::to_string(fPacket.size() - 6) + " data bytes)";
    const std::string name = fPacket.size() < 2 ? "" : PacketCommandName(static_cast<uint8_t>(fPacket[1]));
    line += "  " + (name.empty() ? std::string("?") : name);
    fOut << line << '\n' << std::flush;
    fPacket.clear();
    fExpected = 4;
}

void PacketTrace::Flush()
{
    if (!fPacket.empty())
        Print();
}

void TracingSerialDevice::DiscardInput()
{
    fInner->DiscardInput();
    fReceived.Flush();
}

TracingSerialDevice::TracingSerialDevice(std::unique_ptr<SerialDevice> inner, std::ostream& out)
    : fInner(std::move(inner)), fSent(out, '>'), fReceived(out, '<')
{
}

void TracingSerialDevice::Write(const uint8_t* data, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        fSent.Add(data[i]);
    fInner->Write(data, count);
}

size_t TracingSerialDevice::WriteSome(const uint8_t* data, size_t count)
{
    const size_t taken = fInner->WriteSome(data, count);
    for (size_t i = 0; i < taken; ++i)
        fSent.Add(data[i]);
    return taken;
}

int TracingSerialDevice::ReadOne()
{
    const int b = fInner->ReadOne();
    if (b >= 0)
        fReceived.Add(static_cast<uint8_t>(b));
    return b;
}
