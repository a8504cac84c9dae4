// The remote keyboard's send loop against the virtual TI-92: pacing, keys
// typed while a key is on its way, a long queue and a link error mid-send.
#include <gtest/gtest.h>

#include <vector>

#include "link/PacketCommands.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/RemoteKeyboard.h"

namespace {

struct RemoteKeys : ::testing::Test {
    RemoteKeys()
    {
        keyboard.ShowStatus = [this](const std::string& s) { labels.push_back(s); };
        rig.calculator.onPacket = [this](const SimPacket& p) {
            if (p.cmd == Cmd::KEY)
                keyTimes.push_back(rig.clock.Now());
        };
    }
    void Type(char c)
    {
        keyboard.KeyPress(static_cast<uint8_t>(c));
        keyboard.KeyRelease(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c, {});
    }
    // Types `text` the first time the loop lets events run.
    void TypeDuringFirstSend(const std::string& text)
    {
        rig.pump.hook = [this, text] {
            if (typed || !keyboard.Sending())
                return;
            typed = true;
            for (char c : text)
                Type(c);
        };
    }
    std::vector<uint16_t> Codes(const std::string& text) { return std::vector<uint16_t>(text.begin(), text.end()); }

    SimRig rig;
    RemoteKeyboard keyboard{rig.link};
    std::vector<std::string> labels;
    std::vector<uint32_t> keyTimes;
    bool typed = false;
};

}  // namespace

TEST_F(RemoteKeys, KeysTypedWhileSendingGoOutInOrderFromOneLoop)
{
    TypeDuringFirstSend("bcd");
    Type('a');
    EXPECT_EQ(rig.calc.keysPressed, Codes("abcd"));
    EXPECT_EQ(rig.calculator.Received()[0].Bytes(), std::string("\x09\x87\x61\x00", 4));
    EXPECT_EQ(labels, (std::vector<std::string>{"Sending key..", "Key sent!", "Sending key..", "Key sent!",
                                                "Sending key..", "Key sent!", "Sending key..", "Key sent!", "(idle)"}));
    EXPECT_FALSE(keyboard.Sending());
    EXPECT_TRUE(keyboard.Queue().empty());
    // Every key waits more than 20 ms after the one before.
    for (size_t i = 1; i < keyTimes.size(); ++i)
        EXPECT_GT(keyTimes[i] - keyTimes[i - 1], 20u);
}

TEST_F(RemoteKeys, KeysReleasedDuringTheLoopAreSentOnceEach)
{
    // Shift+h: Shift is let go while "H" is on its way, "b" is pressed then
    // and only released after the loop has finished.
    rig.pump.hook = [this] {
        if (typed || !keyboard.Sending())
            return;
        typed = true;
        keyboard.KeyRelease(VirtualKey::Shift, {});
        keyboard.KeyPress('b');
    };
    keyboard.KeyPress('H');
    keyboard.KeyRelease('H', {true, false, false});
    keyboard.KeyRelease('B', {});
    EXPECT_EQ(rig.calc.keysPressed, Codes("Hb"));
}

TEST_F(RemoteKeys, LongQueueKeepsEveryKey)
{
    const std::string burst = "the quick brown fox jumps";
    TypeDuringFirstSend(burst);
    Type('>');
    EXPECT_EQ(rig.calc.keysPressed, Codes(">" + burst));
    EXPECT_TRUE(rig.dialogs.shown.empty());
}

TEST_F(RemoteKeys, LinkErrorEndsTheLoopCleanly)
{
    // The calculator acknowledges the first key, then stops answering.
    rig.calculator.faults.silentAfterBytes = 4;
    TypeDuringFirstSend("xyz");
    Type('w');
    EXPECT_EQ(rig.calc.keysPressed, Codes("wx"));
    EXPECT_EQ(rig.dialogs.Messages(), std::vector<std::string>{"Timeout occured when receiving byte."});
    EXPECT_EQ(rig.dialogs.shown[0].icon, MsgIcon::Error);
    EXPECT_FALSE(keyboard.Sending());
    EXPECT_TRUE(keyboard.Queue().empty());
    EXPECT_EQ(labels.back(), "(idle)");

    // Once the calculator answers again the next key goes out at once.
    rig.calculator.faults = SimFaults{};
    rig.pump.hook = nullptr;
    Type('v');
    EXPECT_EQ(rig.calc.keysPressed, Codes("wxv"));
    EXPECT_EQ(rig.dialogs.shown.size(), 1u);
}
