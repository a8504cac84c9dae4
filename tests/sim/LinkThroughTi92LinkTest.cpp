// Every conversation against the virtual TI-92 on every cable.
#include <gtest/gtest.h>

#include "files/SaveAs92g.h"
#include "link/Exceptions.h"
#include "tests/sim/CableRig.h"
#include "tests/sim/SimBytes.h"
#include "tests/support/TI92FileBuilder.h"
#include "transfers/BackupReceive.h"
#include "transfers/BackupSend.h"
#include "transfers/RemoteKeyboard.h"
#include "transfers/ScreenCanvas.h"
#include "transfers/ScreenshotTransfer.h"
#include "transfers/VariableSend.h"

namespace {

class EveryCable : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(EveryCable, ReadyWhenPresentNotReadyWhenSilent)
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

TEST_P(EveryCable, ListsAndReceivesDemoContent)
{
    Rig rig(GetParam());
    auto rows = rig.List();
    ASSERT_EQ(rows.size(), rig.calc.VariableCount());
    EXPECT_EQ(rows[0].first, "main\\notes");
    EXPECT_EQ(rows[0].second, std::to_string(rig.calc.FindVariable("main\\notes")->Size()));
    EXPECT_EQ(rows.back().first, "games\\hiscore");

    ASSERT_TRUE(rig.Receive({"math\\quad", "games\\board"})) << rig.Errors();
    EXPECT_EQ(rig.Stored(), (std::vector<std::string>{"math\\quad", "games\\board"}));
    EXPECT_EQ(rig.store.ReadItem(rig.store.ReadIndex()[0]), rig.calc.FindVariable("math\\quad")->bytes);
    EXPECT_EQ(rig.link.ActiveConversation(), "");
    EXPECT_TRUE(rig.ti.CheckReady());
}

TEST_P(EveryCable, RefusedAndDamagedVariablesAreNotStored)
{
    Rig rig(GetParam());
    rig.link.faults.refuseRequests = {2};
    rig.link.faults.damageDataChecksum = {3};
    EXPECT_FALSE(rig.Receive({"main\\notes", "main\\x", "main\\msg"}));
    EXPECT_EQ(rig.Stored(), std::vector<std::string>{"main\\notes"});
    EXPECT_EQ(rig.view.errorDialogs.size(), 1u) << "the damaged one is named";
    EXPECT_TRUE(rig.ti.CheckReady());
}

TEST_P(EveryCable, SilenceAfterSomeBytesTimesOutMidReply)
{
    Rig rig(GetParam());
    rig.link.faults.silentAfterBytes = 6;  // the ready ACK and two bytes of the next reply
    EXPECT_FALSE(FetchDirectoryList(rig.ti, rig.view, ListViewId::Calculator));
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_NE(rig.view.errorDialogs[0].find("Timeout occured when receiving byte."), std::string::npos)
        << rig.view.errorDialogs[0];
}

TEST_P(EveryCable, SendsAVariableAndAGroupLargerThanAWriteChunk)
{
    Rig rig(GetParam());
    const std::string path = rig.folder.filePath("g.92g").toStdString();
    WriteBytes(path, VariableFileBytes("", "",
                                       {BuiltEntry::Folder("work"),
                                        {"small", 0x00, std::string(5, 'a')},
                                        {"big", 0x00, std::string(700, 'b')}}));
    ASSERT_TRUE(Send92g(rig.ti, rig.view, path)) << rig.Errors();
    ASSERT_NE(rig.calc.FindVariable("work\\big"), nullptr);
    EXPECT_EQ(rig.calc.FindVariable("work\\big")->Size(), 702u);
    EXPECT_NE(rig.calc.FindVariable("work\\small"), nullptr);
}

TEST_P(EveryCable, BackupRoundTripRestoresTheMemory)
{
    Rig rig(GetParam());
    const std::string before = rig.calc.MemoryImage();
    ASSERT_TRUE(ReceiveBackup(rig.ti, rig.view, rig.store, false)) << rig.Errors();
    const std::string saved = rig.folder.filePath("saved.92b").toStdString();
    ASSERT_TRUE(SaveAs92g(rig.view, rig.store, true, saved, true, true, "round trip"));
    rig.calc.Clear();
    ASSERT_TRUE(SendBackup(rig.ti, rig.view, saved)) << rig.Errors();
    EXPECT_EQ(rig.calc.MemoryImage(), before);
}

TEST_P(EveryCable, ScreenshotAndKeys)
{
    Rig rig(GetParam());
    RemoteKeyboard keyboard(rig.ti);
    for (char c : std::string("1+2"))
        keyboard.Enqueue(static_cast<uint8_t>(c));
    ASSERT_TRUE(keyboard.SendQueuedKeys()) << rig.Errors();
    EXPECT_EQ(rig.calc.keysPressed, (std::vector<uint16_t>{'1', '+', '2'}));

    rig.calc.ClearScreen();
    rig.calc.screen[0] = static_cast<char>(0x80);
    rig.calc.screen[30 * 127 + 29] = 0x01;
    ScreenBitmap canvas;
    ASSERT_TRUE(GrabScreenshot(rig.ti, rig.view, canvas)) << rig.Errors();
    EXPECT_TRUE(canvas.Black(0, 0));
    EXPECT_TRUE(canvas.Black(239, 127));
    EXPECT_FALSE(canvas.Black(1, 0));
}

INSTANTIATE_TEST_SUITE_P(Sim, EveryCable, ::testing::Values(1, 2, 3, 4),
                         [](const auto& info) { return CableName(info.param); });

TEST(SerialCable, PurgeBeforeSendingDropsUnreadReplies)
{
    Rig rig(2);
    rig.ti.SendString(Hex("09 68 00 00"));
    rig.ti.SendString(Hex("09 68 00 00"));  // the first ACK is thrown away unread
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
