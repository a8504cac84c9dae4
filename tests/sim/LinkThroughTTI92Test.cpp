// The computer's link object against the virtual TI-92 on both cables.
#include <gtest/gtest.h>

#include "link/Exceptions.h"
#include "link/TTI92.h"
#include "sim/SimParallelCable.h"
#include "sim/SimSerialDevice.h"
#include "tests/sim/SimBytes.h"
#include "tests/support/AutoClock.h"
#include "tests/support/ScriptedDialogs.h"

namespace {

struct Rig {
    explicit Rig(int cable)
        : calc(VirtualTI92::WithDemoContent()),
          link(calc),
          cableIO(link),
          ti(LinkEnvironment{clock, pump, dialogs, cableIO})
    {
        auto device = std::make_unique<SimSerialDevice>(link);
        serialDevice = device.get();
        port = std::make_unique<TSerialPort>(std::move(device));
        port->OpenPort();
        ti.Cabletype = static_cast<uint8_t>(cable);
        ti.SerialPort = port.get();
    }

    // The directory conversation as the computer runs it, with the link
    // object's operations: captions folder\name and sizes.
    std::vector<std::pair<std::string, uint32_t>> List()
    {
        std::vector<std::pair<std::string, uint32_t>> rows;
        ti.SendString(Hex("09 A2 06 00 00 00 00 00 19 00 19 00"));
        EXPECT_TRUE(ti.GetAck());
        std::string header;
        for (int i = 0; i < 10; ++i)
            header += static_cast<char>(ti.ReceiveByte());
        for (int i = 0; i < static_cast<uint8_t>(header[9]) + 2; ++i)
            ti.ReceiveByte();
        std::string folder;
        uint8_t last = 0;
        while (last != Cmd::EOT) {
            ti.SendAck();
            ti.SendString(Hex("09 09 FF FF"));
            EXPECT_TRUE(ti.GetAck());
            std::string entry;
            for (int i = 0; i < 24; ++i)
                entry += static_cast<char>(ti.ReceiveByte());
            std::string name;
            for (int i = 8; i < 16; ++i)
                if (entry[i] != 0)
                    name += entry[i];
            if (static_cast<uint8_t>(entry[16]) == kTypeFolder)
                folder = name;
            else
                rows.emplace_back(folder + "\\" + name, LongFromLE(entry, 18));
            ti.SendAck();
            ti.ReceiveByte();
            last = static_cast<uint8_t>(ti.ReceiveByte());
            ti.ReceiveByte();
            ti.ReceiveByte();
        }
        ti.SendAck();
        return rows;
    }

    // The variable request as the computer runs it: the bytes after the
    // data packet's zero prefix (size word and data), and whether the
    // packet's checksum matched.
    std::string Fetch(const std::string& name, bool* checksumOk = nullptr)
    {
        std::string req(4, '\0');
        req += '\0';
        req += static_cast<char>(name.size());
        req += name;
        ti.SendString(BuildDataPacket(kIdFromComputer, Cmd::REQ, req));
        if (!ti.GetAck())
            return "refused";
        ti.ReceiveByte();
        ti.ReceiveByte();
        ti.ReceiveByte();
        ti.ReceiveByte();
        for (int i = 0; i < 5; ++i)
            ti.ReceiveByte();
        const int n = ti.ReceiveByte();
        for (int i = 0; i < n + 2; ++i)
            ti.ReceiveByte();
        ti.SendAck();
        ti.SendCts();
        for (int i = 0; i < 12; ++i)
            ti.ReceiveByte();
        std::string bytes;
        bytes += static_cast<char>(ti.ReceiveByte());
        bytes += static_cast<char>(ti.ReceiveByte());
        const size_t size = (static_cast<uint8_t>(bytes[0]) << 8) | static_cast<uint8_t>(bytes[1]);
        for (size_t i = 0; i < size; ++i)
            bytes += static_cast<char>(ti.ReceiveByte());
        const int lo = ti.ReceiveByte();
        const int hi = ti.ReceiveByte();
        if (checksumOk)
            *checksumOk = (lo | (hi << 8)) == PacketChecksum(bytes);
        ti.SendAck();
        for (int i = 0; i < 4; ++i)
            ti.ReceiveByte();
        ti.SendAck();
        return bytes;
    }

    AutoClock clock;
    NullEventPump pump;
    ScriptedDialogs dialogs;
    VirtualTI92 calc;
    CalculatorLink link;
    SimParallelCable cableIO;
    SimSerialDevice* serialDevice = nullptr;
    std::unique_ptr<TSerialPort> port;
    TTI92 ti;
};

class BothCables : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(BothCables, ReadyWhenPresentNotReadyWhenSilent)
{
    Rig rig(GetParam());
    EXPECT_TRUE(rig.ti.CheckReady());

    rig.link.faults.refuseReady = true;
    EXPECT_FALSE(rig.ti.CheckReady());

    rig.link.faults.refuseReady = false;
    rig.link.faults.garbageBeforeAck = Hex("00 FF 13");
    EXPECT_TRUE(rig.ti.CheckReady());

    rig.link.faults.silent = true;
    try {
        rig.ti.CheckReady();
        FAIL() << "a silent calculator must not be ready";
    } catch (const ELinkError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Calculator is not ready!", 0), 0u);
    }
}

TEST_P(BothCables, ListsAndFetchesDemoContent)
{
    Rig rig(GetParam());
    auto rows = rig.List();
    ASSERT_EQ(rows.size(), rig.calc.VariableCount());
    EXPECT_EQ(rows[0].first, "main\\notes");
    EXPECT_EQ(rows[0].second, rig.calc.FindVariable("main\\notes")->Size());
    EXPECT_EQ(rows.back().first, "games\\hiscore");

    bool ok = false;
    EXPECT_EQ(rig.Fetch("math\\quad", &ok), rig.calc.FindVariable("math\\quad")->bytes);
    EXPECT_TRUE(ok);
    EXPECT_EQ(rig.link.ActiveConversation(), "");
    EXPECT_TRUE(rig.ti.CheckReady());
}

TEST_P(BothCables, RefusedAndDamagedRequests)
{
    Rig rig(GetParam());
    rig.link.faults.refuseRequests = {2};
    rig.link.faults.damageDataChecksum = {3};
    EXPECT_NE(rig.Fetch("main\\x"), "refused");
    EXPECT_TRUE(rig.ti.CheckReady());
    EXPECT_EQ(rig.Fetch("main\\msg"), "refused");
    EXPECT_TRUE(rig.ti.CheckReady());
    bool ok = true;
    EXPECT_EQ(rig.Fetch("main\\msg", &ok), rig.calc.FindVariable("main\\msg")->bytes);
    EXPECT_FALSE(ok);
}

TEST_P(BothCables, SilenceAfterSomeBytesTimesOutMidReply)
{
    Rig rig(GetParam());
    rig.link.faults.silentAfterBytes = 6;   // the ACK and two bytes of the header
    rig.ti.SendString(Hex("09 A2 06 00 00 00 00 00 19 00 19 00"));
    EXPECT_TRUE(rig.ti.GetAck());
    rig.ti.ReceiveByte();
    rig.ti.ReceiveByte();
    EXPECT_THROW(rig.ti.ReceiveByte(), ELinkError);
}

INSTANTIATE_TEST_SUITE_P(Sim, BothCables, ::testing::Values(1, 2),
                         [](const auto& info) { return info.param == 1 ? "Parallel" : "Serial"; });

TEST(ParallelCable, SendingOneWritesTheHandshake)
{
    Rig rig(1);
    rig.ti.SendByte(0x01);
    std::vector<uint8_t> expected = {2, 3};
    for (int i = 0; i < 7; ++i) {
        expected.push_back(1);
        expected.push_back(3);
    }
    EXPECT_EQ(rig.cableIO.dataWrites, expected);
}

TEST(ParallelCable, ReceivesBytesLeastSignificantFirst)
{
    Rig rig(1);
    rig.ti.SendString(Hex("09 68 00 00"));
    EXPECT_EQ(rig.ti.ReceiveByte(), 0x89);
    EXPECT_EQ(rig.ti.ReceiveByte(), 0x56);
    // Each received bit is acknowledged on the other line: 0x89 = 1,0,0,1,0,0,0,1.
    std::vector<uint8_t> tail(rig.cableIO.dataWrites.end() - 32, rig.cableIO.dataWrites.end());
    std::vector<uint8_t> expected;
    for (int bit : {1, 0, 0, 1, 0, 0, 0, 1, 0, 1, 1, 0, 1, 0, 1, 0}) {
        expected.push_back(bit ? 1 : 2);
        expected.push_back(3);
    }
    EXPECT_EQ(tail, expected);
}

TEST(ParallelCable, SilentOrStuckLinesTimeOut)
{
    Rig rig(1);
    rig.link.faults.silent = true;
    try {
        rig.ti.SendByte(0x55);
        FAIL();
    } catch (const ELinkError& e) {
        EXPECT_EQ(std::string(e.what()), "Timeout occured when sending byte.\r0 bit was sent ok.");
    }
    rig.link.faults.silent = false;
    rig.cableIO.holdLinesLow = true;
    try {
        rig.ti.SendByte(0x55);
        FAIL();
    } catch (const ELinkError& e) {
        EXPECT_EQ(std::string(e.what()), "Timeout occured when sending byte.\r-1 bit was sent ok.");
    }
}

TEST(SerialCable, PurgeBeforeSendingDropsUnreadReplies)
{
    Rig rig(2);
    rig.ti.SendString(Hex("09 68 00 00"));
    rig.ti.SendString(Hex("09 68 00 00"));   // the first ACK is thrown away unread
    EXPECT_EQ(ToHex(rig.link.TakeOutput()), "89 56 00 00");
    EXPECT_GE(rig.serialDevice->discards, 1);
}

TEST(ParallelCable, CalculatorGivesUpAStalledByteAndRecovers)
{
    Rig rig(1);
    rig.cableIO.clock = &rig.clock;
    // The computer aborts after the first bit of a byte...
    int passes = 0;
    rig.cableIO.statusFilter = [&](uint8_t s) {
        if (++passes == 4)
            rig.ti.Aborted = 1;
        return s;
    };
    EXPECT_THROW(rig.ti.SendByte(0x09), EUserError);
    rig.ti.Aborted = 0;
    rig.cableIO.statusFilter = nullptr;
    // ...and, after a pause, the next exchange works from a clean start.
    rig.clock.Advance(3000);
    EXPECT_TRUE(rig.ti.CheckReady());

    // A reply the computer never fetches is dropped after the pause too.
    rig.ti.SendString(Hex("09 68 00 00"));
    rig.clock.Advance(3000);
    EXPECT_TRUE(rig.ti.CheckReady());
}
