#pragma once
#include <cstdint>
#include <string>

#include "link/PacketCommands.h"

// Commands the calculator uses that the computer never needs to name.
namespace SimCmd {
constexpr uint8_t CNT = 0x78;  // "another directory entry follows"
constexpr uint8_t ERR = 0x5A;  // checksum error: the packet must be sent again
}  // namespace SimCmd

// One link packet as the calculator sees it.
struct SimPacket {
    uint8_t id = 0;
    uint8_t cmd = 0;
    uint16_t word = 0;  // data length for packets with data
    std::string data;
    uint16_t checksum = 0;  // as received
    bool hasData = false;
    bool checksumOk = true;

    std::string Bytes() const;  // the packet as it travelled
};

// Whether packets with this command carry data (and a checksum).
bool CommandCarriesData(uint8_t cmd);

// Sum of the data bytes modulo 65536.
uint16_t PacketChecksum(const std::string& data);

// A 4-byte packet: id, command, word (little-endian).
std::string BuildShortPacket(uint8_t id, uint8_t cmd, uint16_t word = 0);

// A packet with data: id, command, length, data, checksum. A damaged packet
// carries a checksum that is off by one, for tests of the receiving side.
std::string BuildDataPacket(uint8_t id, uint8_t cmd, const std::string& data, bool damaged = false);

// Little-endian helpers.
std::string WordLE(uint16_t w);
std::string LongLE(uint32_t v);
// Data of a VAR packet: 4-byte size, type code, name length, name.
std::string VarHeaderData(uint32_t size, uint8_t type, const std::string& name);
uint32_t LongFromLE(const std::string& s, size_t offset);

// Assembles the computer's packets byte by byte. Bytes before a machine id
// are skipped, so line noise between packets does no harm.
class SimPacketReader {
public:
    explicit SimPacketReader(uint8_t expectedId = kIdFromComputer) : fExpectedId(expectedId) {}

    // Takes one byte; true when it completed a packet, then available in Packet().
    bool Feed(uint8_t b);
    const SimPacket& Packet() const { return fPacket; }
    // Drops a half-read packet (after a long pause on the line).
    void Reset();
    bool InPacket() const { return fState != State::Id; }
    size_t SkippedBytes() const { return fSkipped; }

private:
    enum class State { Id, Cmd, WordLo, WordHi, Data, SumLo, SumHi };
    uint8_t fExpectedId;
    State fState = State::Id;
    SimPacket fPacket;
    SimPacket fBuilding;
    size_t fSkipped = 0;
};
