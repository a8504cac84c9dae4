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
    case Cmd::SKIP:
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
    if (head.command == Cmd::SKIP) {
        head.refusalCode = ReceiveSkipReason(link, head.word);
        if (head.refusalCode < 0)
            ThrowDamaged(what, "a refusal that is not whole");
    }
    return head;
}

int ReceiveSkipReason(Ti92Link& link, uint16_t word)
{
    // One reason byte; any other length is a damaged head, and reading on
    // by it could swallow the next conversation.
    if (word != 1)
        return -1;
    PacketSum sum;
    const std::string reason = ReceiveBytes(link, 1, &sum);
    if (!ChecksumMatches(link, sum))
        return -1;
    link.SendAck();
    return static_cast<uint8_t>(reason[0]);
}

std::string SkipReasonText(int code)
{
    switch (code) {
    case SkipCode::Exited:
        return "the user exited";
    case SkipCode::Skipped:
        return "skipped";
    case SkipCode::OutOfMemory:
        return "out of memory";
    case SkipCode::BadVersion:
        return "a version the calculator cannot take";
    default:
        return "reason " + std::to_string(code);
    }
}

void ExpectCommand(const PacketHead& head, std::initializer_list<uint8_t> commands, const std::string& what)
{
    for (uint8_t c : commands)
        if (head.command == c)
            return;
    if (head.command == Cmd::SKIP && head.refusalCode >= 0)
        throw ECalculatorError(Capitalised(what) + " was refused: " + SkipReasonText(head.refusalCode) + ".");
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
    if (head.command == Cmd::SKIP && head.refusalCode < 0)
        return false;
    return skippedBefore == 0 && KnownCommand(head.command);
}

namespace {
PacketHead LastHead(const Ti92Link& link)
{
    const Ti92Link::AckReply& r = link.LastReply;
    return PacketHead{link.MachineIdExpected(), r.command, r.word, r.refusalCode};
}

bool LastWasRefusal(const Ti92Link& link)
{
    return link.LastReply.answered && IsRefusal(LastHead(link), link.LastReply.skipped);
}
}  // namespace

std::string AckProblem(const Ti92Link& link)
{
    const Ti92Link::AckReply& r = link.LastReply;
    if (!r.answered)
        return r.skipped > 0 ? "got a damaged answer" : "got no answer";
    if (!LastWasRefusal(link))
        return "got a damaged answer";
    if (r.command == Cmd::SKIP)
        return "was refused: " + SkipReasonText(r.refusalCode);
    return "was refused (answer " + Hex(r.command) + ")";
}

void ThrowAckProblem(const Ti92Link& link, const std::string& subject)
{
    const std::string text = subject + " " + AckProblem(link) + ".";
    const Ti92Link::AckReply& r = link.LastReply;
    if (LastWasRefusal(link))
        throw ECalculatorError(text);
    if (r.answered || r.skipped > 0)
        throw EDamagedReply(text);
    throw ELinkError(text);
}

void ThrowNoAck(const Ti92Link& link, const std::string& refusal, const std::string& subject)
{
    const Ti92Link::AckReply& r = link.LastReply;
    if (LastWasRefusal(link) && r.command == Cmd::SKIP)
        throw ECalculatorError(refusal + "\rThe calculator's reason: " + SkipReasonText(r.refusalCode) + ".");
    if (LastWasRefusal(link))
        throw ECalculatorError(refusal);
    ThrowAckProblem(link, subject);
}
