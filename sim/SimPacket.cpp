#include "sim/SimPacket.h"

#include <stdexcept>

std::string SimPacket::Bytes() const
{
    std::string s;
    s += static_cast<char>(id);
    s += static_cast<char>(cmd);
    s += WordLE(word);
    if (hasData) {
        s += data;
        s += WordLE(checksum);
    }
    return s;
}

bool CommandCarriesData(uint8_t cmd)
{
    return cmd == Cmd::VAR || cmd == Cmd::DATA || cmd == Cmd::REQ || cmd == Cmd::SKIP;
}

uint16_t PacketChecksum(const std::string& data)
{
    uint32_t sum = 0;
    for (unsigned char c : data)
        sum += c;
    return static_cast<uint16_t>(sum & 0xFFFF);
}

std::string WordLE(uint16_t w)
{
    std::string s;
    s += static_cast<char>(w & 0xFF);
    s += static_cast<char>(w >> 8);
    return s;
}

std::string LongLE(uint32_t v)
{
    std::string s;
    for (int i = 0; i < 4; ++i)
        s += static_cast<char>((v >> (8 * i)) & 0xFF);
    return s;
}

uint32_t LongFromLE(const std::string& s, size_t offset)
{
    uint32_t v = 0;
    for (size_t i = 0; i < 4 && offset + i < s.size(); ++i)
        v |= static_cast<uint32_t>(static_cast<unsigned char>(s[offset + i])) << (8 * i);
    return v;
}

std::string BuildShortPacket(uint8_t id, uint8_t cmd, uint16_t word)
{
    std::string s;
    s += static_cast<char>(id);
    s += static_cast<char>(cmd);
    s += WordLE(word);
    return s;
}

std::string BuildDataPacket(uint8_t id, uint8_t cmd, const std::string& data, bool damaged)
{
    // The length word holds 16 bits.
    if (data.size() > 0xFFFF)
        throw std::length_error("a packet carries at most 65535 data bytes");
    std::string s = BuildShortPacket(id, cmd, static_cast<uint16_t>(data.size()));
    s += data;
    s += WordLE(static_cast<uint16_t>(PacketChecksum(data) + (damaged ? 1 : 0)));
    return s;
}

void SimPacketReader::Reset()
{
    fState = State::Id;
    fBuilding = SimPacket();
}

bool SimPacketReader::Feed(uint8_t b)
{
    switch (fState) {
    case State::Id:
        if (b != fExpectedId) {
            ++fSkipped;
            return false;
        }
        fBuilding = SimPacket();
        fBuilding.id = b;
        fState = State::Cmd;
        return false;
    case State::Cmd:
        fBuilding.cmd = b;
        fBuilding.hasData = CommandCarriesData(b);
        fState = State::WordLo;
        return false;
    case State::WordLo:
        fBuilding.word = b;
        fState = State::WordHi;
        return false;
    case State::WordHi:
        fBuilding.word = static_cast<uint16_t>(fBuilding.word | (b << 8));
        if (!fBuilding.hasData)
            break;
        fBuilding.data.reserve(fBuilding.word);
        fState = fBuilding.word == 0 ? State::SumLo : State::Data;
        return false;
    case State::Data:
        fBuilding.data += static_cast<char>(b);
        if (fBuilding.data.size() == fBuilding.word)
            fState = State::SumLo;
        return false;
    case State::SumLo:
        fBuilding.checksum = b;
        fState = State::SumHi;
        return false;
    case State::SumHi:
        fBuilding.checksum = static_cast<uint16_t>(fBuilding.checksum | (b << 8));
        fBuilding.checksumOk = fBuilding.checksum == PacketChecksum(fBuilding.data);
        break;
    }
    fPacket = fBuilding;
    fState = State::Id;
    return true;
}

std::string VarHeaderData(uint32_t size, uint8_t type, const std::string& name)
{
    std::string header = LongLE(size);
    header += static_cast<char>(type);
    header += static_cast<char>(name.size());
    return header + name;
}
