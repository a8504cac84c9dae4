// Screenshot, keys, variables and backups, driven at the byte level.
#include <gtest/gtest.h>

#include "sim/BackupToComputerConversation.h"
#include "sim/CalculatorLink.h"
#include "sim/SimPacket.h"
#include "tests/sim/SimBytes.h"

namespace {

struct Calc : ::testing::Test {
    Calc() : link(calc) {}
    std::string Say(const std::string& bytes)
    {
        link.Receive(bytes);
        return link.TakeOutput();
    }
    std::string SayHex(const std::string& hex) { return ToHex(Say(Hex(hex))); }
    VirtualTI92 calc;
    CalculatorLink link;
};

// Receives the whole memory image as the computer's backup receive does.
std::string FetchBackup(CalculatorLink& link, int* blocks)
{
    link.Receive(Hex("09 A2 11 00 00 00 00 00 1D 0B 6D 61 69 6E 5C 62 61 63 6B 75 70 9F 04"));
    std::string out = link.TakeOutput();
    EXPECT_EQ(ToHex(out.substr(0, 4)), "89 56 00 00");
    out.erase(0, 4);
    std::string image;
    *blocks = 0;
    while (ToHex(out.substr(0, 2)) == "89 06") {
        EXPECT_EQ(ToHex(out.substr(8, 6)), "1D 04 31 2E 31 31");  // backup type, ROM version
        ++*blocks;
        link.Receive(Hex("09 56 00 00 09 09 00 04"));
        std::string data = link.TakeOutput();
        EXPECT_EQ(ToHex(data.substr(0, 6)), "89 56 00 00 89 15");
        const size_t n = static_cast<uint8_t>(data[6]) | (static_cast<uint8_t>(data[7]) << 8);
        image += data.substr(4 + 4 + 4, n - 4);  // without the 4 leading bytes
        link.Receive(Hex("09 56 00 00"));
        out = link.TakeOutput();
    }
    EXPECT_EQ(ToHex(out), "89 92 00 00");
    link.Receive(Hex("09 56 00 00"));
    return image;
}

// Sends an image back as the computer's backup send does.
void SendBackup(CalculatorLink& link, const std::string& image)
{
    EXPECT_EQ(ToHex((link.Receive(Hex("09 68 00 00")), link.TakeOutput())), "89 56 00 00");
    std::string header = LongLE(static_cast<uint32_t>(image.size())) + "\x1D";
    link.Receive(BuildDataPacket(0x09, Cmd::VAR, header));
    EXPECT_EQ(ToHex(link.TakeOutput()), "89 56 00 00");
    for (size_t pos = 0; pos < image.size(); pos += 1024) {
        link.Receive(Hex("09 06 05 00 00 00 00 00 1D 1D 00"));
        EXPECT_EQ(ToHex(link.TakeOutput()), "89 56 00 00 89 09 00 00");
        link.Receive(Hex("09 56 00 00"));
        link.Receive(BuildDataPacket(0x09, Cmd::DATA, image.substr(pos, 1024)));
        EXPECT_EQ(ToHex(link.TakeOutput()), "89 56 00 00");
    }
    link.Receive(Hex("09 92 00 00"));
    EXPECT_EQ(link.TakeOutput(), "") << "the end of a backup is not acknowledged";
}

}  // namespace

TEST_F(Calc, ScreenshotIsOneDataPacketOfTheDisplay)
{
    calc.SetPixel(0, 0, true);
    calc.SetPixel(239, 127, true);
    std::string out = Say(Hex("09 6D 00 00"));
    ASSERT_EQ(out.size(), 4u + 4 + 3840 + 2);
    EXPECT_EQ(ToHex(out.substr(0, 8)), "89 56 00 00 89 15 00 0F");
    EXPECT_EQ(static_cast<uint8_t>(out[8]), 0x80);
    EXPECT_EQ(static_cast<uint8_t>(out[8 + 3839]), 0x01);
    EXPECT_EQ(ToHex(out.substr(8 + 3840)), "81 00");
    EXPECT_EQ(SayHex("09 56 00 00"), "");
    EXPECT_EQ(link.ActiveConversation(), "");
}

TEST_F(Calc, KeysAreAcknowledgedAndRecorded)
{
    EXPECT_EQ(SayHex("09 87 0C 01"), "89 56 00 00");
    EXPECT_EQ(SayHex("09 87 61 00"), "89 56 00 00");
    EXPECT_EQ(calc.keysPressed, (std::vector<uint16_t>{268, 0x61}));
}

TEST_F(Calc, VariableFromTheComputerIsStored)
{
    EXPECT_EQ(SayHex("09 68 00 00"), "89 56 00 00");
    EXPECT_EQ(SayHex("09 06 10 00 05 00 00 00 12 0A 6D 61 69 6E 5C 70 72 6F 67 31 0B 04"), "89 56 00 00 89 09 00 00");
    EXPECT_EQ(SayHex("09 56 00 00"), "");
    EXPECT_EQ(SayHex("09 15 09 00 00 00 00 00 00 03 01 02 03 09 00"), "89 56 00 00");
    EXPECT_EQ(calc.FindVariable("main\\prog1"), nullptr) << "stored only after the end of transmission";
    EXPECT_EQ(SayHex("09 92 00 00"), "89 56 00 00");
    const SimVariable* v = calc.FindVariable("main\\prog1");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->type, 0x12);
    EXPECT_EQ(ToHex(v->bytes), "00 03 01 02 03");
}

TEST_F(Calc, DamagedOrRefusedVariablesAreNotStored)
{
    SayHex("09 06 10 00 05 00 00 00 12 0A 6D 61 69 6E 5C 70 72 6F 67 31 0B 04");
    SayHex("09 56 00 00");
    EXPECT_EQ(SayHex("09 15 09 00 00 00 00 00 00 03 01 02 03 0A 00"), "89 5A 00 00");
    EXPECT_EQ(SayHex("09 92 00 00"), "");
    EXPECT_EQ(calc.FindVariable("main\\prog1"), nullptr);

    link.faults.refuseVariables = true;
    EXPECT_EQ(SayHex("09 06 10 00 05 00 00 00 12 0A 6D 61 69 6E 5C 70 72 6F 67 31 0B 04"), "89 36 01 00 03 03 00");
}

TEST_F(Calc, BackupTravelsInBlocksAndRestoresTheContent)
{
    calc.LoadDemoContent();
    int blocks = 0;
    const std::string image = FetchBackup(link, &blocks);
    EXPECT_TRUE(image == calc.MemoryImage());
    EXPECT_EQ(blocks, static_cast<int>((image.size() + 1023) / 1024));
    EXPECT_GE(blocks, 2);

    // A fresh calculator takes the image back (without the last four bytes,
    // as a backup file written on the computer holds it).
    VirtualTI92 other;
    CalculatorLink otherLink(other);
    SendBackup(otherLink, image.substr(0, image.size() - 4));
    EXPECT_TRUE(other.HasInstalledImage());
    EXPECT_EQ(other.VariableCount(), calc.VariableCount());
    ASSERT_NE(other.FindVariable("math\\quad"), nullptr);
    EXPECT_TRUE(other.FindVariable("math\\quad")->bytes == calc.FindVariable("math\\quad")->bytes);
    EXPECT_TRUE(other.screen == calc.screen);
}

// A block goes out only after the header's ACK and a request for 1024
// bytes; any other answer leaves the computer waiting.
TEST_F(Calc, BackupBlockNeedsTheAckAndTheRightRequest)
{
    struct Row {
        const char* answer;
        bool dataSent;
    };
    for (const Row& r : {Row{"09 56 00 00 09 09 00 04", true}, Row{"09 09 00 04", false},
                         Row{"09 56 00 00 09 09 00 00", false}, Row{"09 56 00 00 09 09 FF FF", false}}) {
        SCOPED_TRACE(r.answer);
        Say(Hex("09 A2 11 00 00 00 00 00 1D 0B 6D 61 69 6E 5C 62 61 63 6B 75 70 9F 04"));
        EXPECT_EQ(SayHex(r.answer).substr(0, 17), r.dataSent ? "89 56 00 00 89 15" : "");
    }
}

TEST_F(Calc, RefusalsFollowTheFaultSwitches)
{
    calc.AddVariable("main", "a", 0, "1");
    link.faults.refuseReady = true;
    EXPECT_EQ(SayHex("09 68 00 00"), "89 36 01 00 02 02 00");
    link.faults.garbageBeforeAck = Hex("FF 00");
    link.faults.refuseReady = false;
    EXPECT_EQ(SayHex("09 68 00 00"), "FF 00 89 56 00 00");
    link.faults.silentAfterBytes = 13;
    EXPECT_EQ(SayHex("09 68 00 00"), "");  // 13 bytes already sent
}

TEST(DemoContent, HoldsEveryCommonKindWithSoundSizeWords)
{
    VirtualTI92 calc = VirtualTI92::WithDemoContent();
    EXPECT_GE(calc.folders.size(), 3u);
    std::set<uint8_t> types;
    for (const auto& f : calc.folders)
        for (const auto& v : f.variables) {
            types.insert(v.type);
            ASSERT_GE(v.bytes.size(), 2u);
            const size_t s = (static_cast<uint8_t>(v.bytes[0]) << 8) | static_cast<uint8_t>(v.bytes[1]);
            EXPECT_EQ(s + 2, v.bytes.size()) << f.name << "\\" << v.name;
            EXPECT_LE(v.name.size(), 8u);
        }
    for (uint8_t t : {0x00, 0x0B, 0x0C, 0x10, 0x12})
        EXPECT_TRUE(types.count(t)) << int(t);
    // The picture's size word covers height, width, rows and tag.
    const SimVariable* pic = calc.FindVariable("main\\smiley");
    ASSERT_NE(pic, nullptr);
    const std::string d = pic->Data();
    const int h = (static_cast<uint8_t>(d[0]) << 8) | static_cast<uint8_t>(d[1]);
    const int w = (static_cast<uint8_t>(d[2]) << 8) | static_cast<uint8_t>(d[3]);
    EXPECT_EQ(d.size(), static_cast<size_t>(4 + h * ((w + 7) / 8) + 1));
}

TEST_F(Calc, IncompleteBackupIsNotInstalled)
{
    link.Receive(BuildDataPacket(0x09, Cmd::VAR, LongLE(2048) + "\x1D"));
    link.Receive(Hex("09 06 05 00 00 00 00 00 1D 1D 00 09 56 00 00"));
    link.Receive(BuildDataPacket(0x09, Cmd::DATA, std::string(1024, 'm')));
    link.Receive(Hex("09 92 00 00"));
    EXPECT_EQ(ToHex(link.TakeOutput()), "89 56 00 00 89 56 00 00 89 09 00 00 89 56 00 00");
    EXPECT_FALSE(calc.HasInstalledImage());
}
