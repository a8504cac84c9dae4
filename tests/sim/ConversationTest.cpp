#include <gtest/gtest.h>

#include "sim/CalculatorLink.h"
#include "sim/SimPacket.h"
#include "tests/sim/SimBytes.h"

namespace {

// A calculator holding main\abc, a text variable of 18 data bytes (20 with
// its size word, which is what the listing reports).
struct OneVariable : ::testing::Test {
    OneVariable() : link(calc) { calc.AddVariable("main", "abc", kTypeText, std::string(18, 'x')); }
    std::string Say(const std::string& hex)
    {
        link.Receive(Hex(hex));
        return ToHex(link.TakeOutput());
    }
    VirtualTI92 calc;
    CalculatorLink link;
};

std::string Request(const std::string& name, uint8_t type = 0)
{
    std::string data(4, '\0');
    data += static_cast<char>(type);
    data += static_cast<char>(name.size());
    data += name;
    return ToHex(BuildDataPacket(kIdFromComputer, Cmd::REQ, data));
}

}  // namespace

TEST(SimPacket, BuildsLengthAndChecksum)
{
    EXPECT_EQ(ToHex(BuildDataPacket(0x09, Cmd::REQ, Hex("00 00 00 00 19 00"))), "09 A2 06 00 00 00 00 00 19 00 19 00");
    EXPECT_EQ(ToHex(BuildShortPacket(0x89, Cmd::CTS, 0xFFFF)), "89 09 FF FF");
    EXPECT_EQ(ToHex(BuildDataPacket(0x89, Cmd::DATA, std::string(300, '\xFF'))).substr(0, 11), "89 15 2C 01");
    EXPECT_EQ(PacketChecksum(std::string(300, '\xFF')), 300 * 255 % 65536);
    EXPECT_EQ(ToHex(BuildDataPacket(0x89, Cmd::DATA, Hex("01 02"), true)), "89 15 02 00 01 02 04 00");
}

TEST(SimPacket, ReaderSkipsNoiseAndChecksChecksums)
{
    SimPacketReader reader;
    std::string bytes = Hex("FF 00 09 A2 06 00 00 00 00 00 19 00 19 00 09 15 01 00 05 06 00 09 68 00 00");
    std::vector<SimPacket> packets;
    for (char c : bytes)
        if (reader.Feed(static_cast<uint8_t>(c)))
            packets.push_back(reader.Packet());
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(reader.SkippedBytes(), 2u);
    EXPECT_EQ(packets[0].cmd, Cmd::REQ);
    EXPECT_TRUE(packets[0].checksumOk);
    EXPECT_EQ(packets[1].cmd, Cmd::DATA);
    EXPECT_FALSE(packets[1].checksumOk);  // 05 06 00: sum 5, not 6
    EXPECT_EQ(packets[2].cmd, Cmd::RDY);
    EXPECT_FALSE(packets[2].hasData);
}

TEST_F(OneVariable, ReadyIsAcknowledged)
{
    EXPECT_EQ(Say("09 68 00 00"), "89 56 00 00");
}

TEST_F(OneVariable, DirectoryListsFolderThenVariable)
{
    // ACK and a header shaped like a variable header (2 entries x 14 bytes, type 19, name main).
    EXPECT_EQ(Say("09 A2 06 00 00 00 00 00 19 00 19 00"),
              "89 56 00 00 89 06 0A 00 1C 00 00 00 19 04 6D 61 69 6E DE 01");
    EXPECT_EQ(Say("09 56 00 00 09 09 FF FF"),
              "89 56 00 00 89 15 12 00 00 00 00 00 6D 61 69 6E 00 00 00 00 1F 00 01 00 00 00 C5 01");
    EXPECT_EQ(Say("09 56 00 00"), "89 78 00 00");
    EXPECT_EQ(Say("09 56 00 00 09 09 FF FF"),
              "89 56 00 00 89 15 12 00 00 00 00 00 61 62 63 00 00 00 00 00 0B 00 14 00 00 00 45 01");
    EXPECT_EQ(Say("09 56 00 00"), "89 92 00 00");
    EXPECT_EQ(link.ActiveConversation(), "directory");
    EXPECT_EQ(Say("09 56 00 00"), "");
    EXPECT_EQ(link.ActiveConversation(), "");
}

TEST_F(OneVariable, VariableRequestSendsHeaderDataAndEnd)
{
    std::string data = "00 00 00 00 00 12" + std::string();
    for (int i = 0; i < 18; ++i)
        data += " 78";
    EXPECT_EQ(Say(Request("main\\abc")), "89 56 00 00 89 06 0E 00 14 00 00 00 0B 08 6D 61 69 6E 5C 61 62 63 4E 03");
    // 18 x 0x78 + 0x12 = 0x882
    EXPECT_EQ(Say("09 56 00 00 09 09 00 00"), "89 56 00 00 89 15 18 00 " + data + " 82 08");
    EXPECT_EQ(Say("09 56 00 00"), "89 92 00 00");
    EXPECT_EQ(Say("09 56 00 00"), "");
    EXPECT_EQ(link.ActiveConversation(), "");
    EXPECT_EQ(link.VariableRequests(), 1);
}

TEST_F(OneVariable, UnknownVariableAndBadChecksumAreRefused)
{
    EXPECT_EQ(Say(Request("main\\nope")), "89 36 01 00 02 02 00");
    EXPECT_EQ(Say("09 A2 06 00 00 00 00 00 19 00 18 00"), "89 5A 00 00");
}

TEST_F(OneVariable, NewRequestAbandonsConversation)
{
    Say(Request("main\\abc"));
    // The computer gave up (time-out) and checks readiness again.
    EXPECT_EQ(Say("09 68 00 00"), "89 56 00 00");
    EXPECT_EQ(link.ActiveConversation(), "");
}
