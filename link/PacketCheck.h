#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>

class Ti92Link;

// Checks on what the calculator sends, shared by every conversation so that
// nothing damaged is taken as good. A packet from the calculator is
// id, command, 16-bit word (little-endian), and for packets with data the
// data bytes and a 16-bit checksum: their sum modulo 65536, low byte first.
//
// A failed check throws EDamagedReply (an ELinkError) whose message names
// what arrived damaged, e.g. "The header of main\abc arrived damaged
// (checksum error)."; `what` is that name ("the header of main\abc").
// After a damaged reply the rest of the calculator's packet may still be on
// the line: the next conversation starts with Ti92Link::PrepareLine, which
// waits for the line to go quiet and throws the rest away.
//
// Typical use for a packet with data:
//     const PacketHead head = ReceivePacketHead(link, "the header of " + name);
//     ExpectCommand(head, Cmd::VAR, "the header of " + name);
//     ExpectLength(head, 6, 6 + 17, "the header of " + name);
//     PacketSum sum;
//     const std::string data = ReceiveBytes(link, head.word, &sum);
//     ReceiveChecksum(link, sum, "the header of " + name);

// The most bytes one variable can have (size word and data): they travel in
// one data packet whose 16-bit length also counts a 4-byte prefix.
constexpr uint32_t kMaxVariableBytes = 0xFFFF - 4;

struct PacketHead {
    uint8_t id = 0;
    uint8_t command = 0;
    uint16_t word = 0;     // the number of data bytes for packets with data
    int refusalCode = -1;  // a whole SKIP packet's reason, read and acknowledged
};

// Running sum of a packet's data bytes, as its checksum is built.
class PacketSum {
public:
    void Add(uint8_t byte) { fSum = static_cast<uint16_t>(fSum + byte); }
    void Add(const std::string& bytes);
    uint16_t Value() const { return fSum; }

private:
    uint16_t fSum = 0;
};

// Reads `count` bytes; adds them to `sum` when one is given.
std::string ReceiveBytes(Ti92Link& link, size_t count, PacketSum* sum = nullptr);

// Reads the 4-byte head of a packet and checks that it starts with the
// calculator's machine id. A refusal (SKIP) is read whole and acknowledged,
// its reason in refusalCode. Throws EDamagedReply.
PacketHead ReceivePacketHead(Ti92Link& link, const std::string& what);

// After a SKIP head with this length word: reads its reason byte and
// checksum and acknowledges it. Gives the reason, or -1 when the packet is
// damaged (then nothing more is read or sent).
int ReceiveSkipReason(Ti92Link& link, uint16_t word);
// "the user exited", "out of memory", ... or "reason N" for one not known.
std::string SkipReasonText(int code);

// Throws EDamagedReply unless the head carries one of these commands; a
// refusal (SKIP) throws ECalculatorError "<What> was refused: <reason>.".
void ExpectCommand(const PacketHead& head, std::initializer_list<uint8_t> commands, const std::string& what);
// Throws EDamagedReply unless min <= word <= max.
void ExpectLength(const PacketHead& head, uint32_t min, uint32_t max, const std::string& what);
// Throws EDamagedReply "<What> arrived damaged (<detail>)." for checks of
// the caller's own, such as a size that disagrees with an earlier one.
[[noreturn]] void ThrowDamaged(const std::string& what, const std::string& detail);

// Reads a 4-byte packet that must be exactly `command` with the word 00 00,
// such as an end of transmission: one damaged byte must not pass for the end
// of a conversation. Throws EDamagedReply.
void ReceiveEndPacket(Ti92Link& link, uint8_t command, const std::string& what);
// Throws EDamagedReply unless the head is `command` with the word 00 00.
void ExpectEndPacket(const PacketHead& head, uint8_t command, const std::string& what);

// Reads the 2 checksum bytes. ReceiveChecksum throws EDamagedReply when they
// do not match `sum`; ChecksumMatches says so instead, for callers that
// finish the conversation first and then report.
void ReceiveChecksum(Ti92Link& link, const PacketSum& sum, const std::string& what);
bool ChecksumMatches(Ti92Link& link, const PacketSum& sum);

// Whether a reply that is not the expected one is a plain answer of the
// calculator (a refusal): it came at once, with a command the link knows,
// and a SKIP whole. Anything else is line damage.
bool IsRefusal(const PacketHead& head, int skippedBefore = 0);

// Why the last GetAck or GetCts of the link returned false, to finish a
// sentence: "was refused: out of memory", "was refused (answer 0x92)",
// "got a damaged answer" or "got no answer".
std::string AckProblem(const Ti92Link& link);
// Throws "<subject> <AckProblem>.": ECalculatorError for a refusal,
// EDamagedReply for a damaged answer, ELinkError for none.
[[noreturn]] void ThrowAckProblem(const Ti92Link& link, const std::string& subject);
// After a false GetAck or GetCts: a plain refusal throws ECalculatorError
// `refusal` (a SKIP's reason added on a line of its own); damage or silence
// throw as ThrowAckProblem does for `subject`.
[[noreturn]] void ThrowNoAck(const Ti92Link& link, const std::string& refusal, const std::string& subject);
