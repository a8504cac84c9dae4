#include "link/PacketCheck.h"

#include <cctype>
#include <cstdio>

#include "link/Exceptions.h"
#include "link/PacketCommands.h"
#include "link/Ti92Link.h"

namespace {

// Commands a calculator answers with: the ones the computer uses, the
// checksum-error answer (0x5A, "send it again") and the listing's "another
// entry follows" (0x78).
bool KnownCommand(uint8_t c)
{
    switch (c) {
    case Cmd::VAR:
    case Cmd::CTS:
    case Cmd::DATA:
    case Cmd::ACK:
    case Cmd::RDY:
    case Cmd::SCR:
    case Cmd::KEY:
    case Cmd::EOT:
    case Cmd::REQ:
    case 0x5A:
    case 0x78:
        return true;
    default:
        return false;
    }
}

std::string Hex(unsigned value)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string Capitalised(std::string s)
{
    if (!s.empty())
        s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

}  // namespace

void PacketSum::Add(const std::string& bytes)
{
    for (char c : bytes)
        Add(static_cast<uint8_t>(c));
}

std::string ReceiveBytes(Ti92Link& link, size_t count, PacketSum* sum)
{
    std::string bytes;
    bytes.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const auto b = static_cast<uint8_t>(link.ReceiveByte());
        bytes += static_cast<char>(b);
        if (sum)
            sum->Add(b);
    }
    return bytes;
}

void ThrowDamaged(const std::string& what, const std::string& detail)
{
    throw EDamagedReply(Capitalised(what) + " arrived damaged (" + detail + ").");
}

PacketHead ReceivePacketHead(Ti92Link& link, const std::string& what)
{
    const std::string bytes = ReceiveBytes(link, 4);
    PacketHead head;
    head.id = static_cast<uint8_t>(bytes[0]);
    head.command = static_cast<uint8_t>(bytes[1]);
    head.word = static_cast<uint16_t>(static_cast<uint8_t>(bytes[2]) | static_cast<uint8_t>(bytes[3]) << 8);
    if (head.id != link.MachineIdExpected())
        ThrowDamaged(what, "machine id " + Hex(head.id));
    return head;
}

void ExpectCommand(const PacketHead& head, std::initializer_list<uint8_t> commands, const std::string& what)
{
    for (uint8_t c : commands)
        if (head.command == c)
            return;
    ThrowDamaged(what, "command " + Hex(head.command));
}

void ExpectLength(const PacketHead& head, uint32_t min, uint32_t max, const std::string& what)
{
    if (head.word < min || head.word > max)
        ThrowDamaged(what, "length " + std::to_string(head.word));
}

void ExpectEndPacket(const PacketHead& head, uint8_t command, const std::string& what)
{
    ExpectCommand(head, {command}, what);
    if (head.word != 0)
        ThrowDamaged(what, "length " + std::to_string(head.word));
}

void ReceiveEndPacket(Ti92Link& link, uint8_t command, const std::string& what)
{
    ExpectEndPacket(ReceivePacketHead(link, what), command, what);
}

bool ChecksumMatches(Ti92Link& link, const PacketSum& sum)
{
    const std::string bytes = ReceiveBytes(link, 2);
    const auto received = static_cast<uint16_t>(static_cast<uint8_t>(bytes[0]) | static_cast<uint8_t>(bytes[1]) << 8);
    return received == sum.Value();
}

void ReceiveChecksum(Ti92Link& link, const PacketSum& sum, const std::string& what)
{
    if (!ChecksumMatches(link, sum))
        ThrowDamaged(what, "checksum error");
}

bool IsRefusal(const PacketHead& head, int skippedBefore)
{
    return skippedBefore == 0 && KnownCommand(head.command);
}

std::string AckProblem(const Ti92Link& link)
{
    const Ti92Link::AckReply& r = link.LastReply;
    if (!r.answered)
        return r.skipped > 0 ? "got a damaged answer" : "got no answer";
    if (IsRefusal(PacketHead{link.MachineIdExpected(), r.command, r.word}, r.skipped))
        return "was refused (answer " + Hex(r.command) + ")";
    return "got a damaged answer";
}

void ThrowAckProblem(const Ti92Link& link, const std::string& subject)
{
    const std::string text = subject + " " + AckProblem(link) + ".";
    const Ti92Link::AckReply& r = link.LastReply;
    if (r.answered && IsRefusal(PacketHead{link.MachineIdExpected(), r.command, r.word}, r.skipped))
        throw ECalculatorError(text);
    if (r.answered || r.skipped > 0)
        throw EDamagedReply(text);
    throw ELinkError(text);
}

void ThrowNoAck(const Ti92Link& link, const std::string& refusal, const std::string& subject)
{
    const Ti92Link::AckReply& r = link.LastReply;
    if (r.answered && IsRefusal(PacketHead{link.MachineIdExpected(), r.command, r.word}, r.skipped))
        throw ECalculatorError(refusal);
    ThrowAckProblem(link, subject);
}
