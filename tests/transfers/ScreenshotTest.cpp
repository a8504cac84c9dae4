// "&Grab!" against the virtual TI-92: the bytes on the line, the bit walk
// onto the canvas, and every way the grab can fail.
#include <gtest/gtest.h>

#include <vector>

#include "link/PacketCommands.h"
#include "tests/transfers/TransferRig.h"
#include "transfers/ScreenCanvas.h"
#include "transfers/ScreenshotTransfer.h"

namespace {

// Keeps every pixel painted, also those below the picture.
struct RecordingCanvas : ScreenBitmap {
    void SetBlack(int x, int y) override
    {
        painted.emplace_back(x, y);
        ScreenBitmap::SetBlack(x, y);
    }
    void Clear() override
    {
        ++clears;
        ScreenBitmap::Clear();
    }
    std::vector<std::pair<int, int>> painted;
    int clears = 0;
};

struct Screenshot : ::testing::Test {
    SimRig rig;
    RecordingCanvas canvas;

    bool Grab() { return GrabScreenshot(rig.link, rig.view, canvas); }
    void SetScreen(std::initializer_list<std::pair<int, uint8_t>> bytes)
    {
        rig.calc.ClearScreen();
        for (auto [at, value] : bytes)
            rig.calc.screen[static_cast<size_t>(at)] = static_cast<char>(value);
    }
    // Pixels painted on the picture (rows 0..127) or below it.
    std::vector<std::pair<int, int>> Painted(bool below) const
    {
        std::vector<std::pair<int, int>> r;
        for (auto p : canvas.painted)
            if ((p.second >= ScreenCanvas::kHeight) == below)
                r.push_back(p);
        return r;
    }
    std::string Screen() const { return std::string(canvas.Bytes().begin(), canvas.Bytes().end()); }
};

}  // namespace

TEST_F(Screenshot, DemoScreenArrivesWholeAndTheWizardMovesOn)
{
    rig.calc.LoadDemoContent();
    EXPECT_TRUE(Grab());
    EXPECT_EQ(Screen(), rig.calc.screen);
    EXPECT_EQ(canvas.clears, 1);

    // Request, then the acknowledgement of the picture.
    ASSERT_EQ(rig.calculator.Received().size(), 2u);
    EXPECT_EQ(rig.calculator.Received()[0].Bytes(), std::string("\x09\x6D\x00\x00", 4));
    EXPECT_EQ(rig.calculator.Received()[1].Bytes(), std::string("\x09\x56\x00\x00", 4));
    EXPECT_EQ(rig.view.statuses,
              (std::vector<std::string>{"Sending request", "Receiving screenshot", "Screenshot completed", "(none)"}));
    EXPECT_EQ(rig.view.memo, std::vector<std::string>{"A screenshot was grabbed."});
    EXPECT_TRUE(rig.view.errorDialogs.empty());
    EXPECT_EQ(rig.view.transferModeOn, 1);
    EXPECT_EQ(rig.view.transferModeOff, 1);
    EXPECT_EQ(rig.view.nextClicks, 1);
    // Events run once per row: after the request, before rows 1..128, and at the end.
    EXPECT_EQ(rig.view.processMessages - static_cast<int>(rig.view.statuses.size()), 1 + 128 + 1);
}

TEST_F(Screenshot, BitWalk)
{
    SetScreen({});
    EXPECT_TRUE(Grab());
    EXPECT_TRUE(canvas.painted.empty());  // checksum 0 too

    SetScreen({{0, 0x80}});
    canvas.painted.clear();
    EXPECT_TRUE(Grab());
    EXPECT_EQ(Painted(false), (std::vector<std::pair<int, int>>{{0, 0}}));

    // The 31st byte starts row 1; the last byte of a row ends at x = 239.
    SetScreen({{30, 0x80}, {29, 0x01}, {3839, 0x41}});
    canvas.painted.clear();
    EXPECT_TRUE(Grab());
    EXPECT_EQ(Painted(false), (std::vector<std::pair<int, int>>{{239, 0}, {0, 1}, {233, 127}, {239, 127}}));

    // The checksum bytes are walked as row 128 and change nothing on the picture.
    SetScreen({{0, 0xFF}, {1, 0x03}});  // checksum 0x0102: bytes 02 01
    canvas.painted.clear();
    EXPECT_TRUE(Grab());
    EXPECT_EQ(Painted(true), (std::vector<std::pair<int, int>>{{6, 128}, {15, 128}}));
    EXPECT_EQ(Screen(), rig.calc.screen);
}

TEST_F(Screenshot, SilentOrRefusingCalculator)
{
    rig.calculator.faults.silent = true;
    EXPECT_FALSE(Grab());
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0],
              "Some error occured while receiving the screenshot!\r\rMore info:\rErrorclass: ELinkError\r"
              "Message: \rTimeout occured when receiving byte.");
    EXPECT_EQ(rig.view.memo.back(), "A screenshot was grabbed but aborted by an error (ELinkError).");
    EXPECT_EQ(rig.view.nextClicks, 1);
    EXPECT_EQ(rig.view.transferModeOff, 1);
    EXPECT_EQ(rig.view.statuses.back(), "(none)");

    rig.calculator.faults = SimFaults{};
    rig.calculator.faults.refuseScreenshot = true;
    EXPECT_FALSE(Grab());
    ASSERT_EQ(rig.view.errorDialogs.size(), 2u);
    EXPECT_EQ(rig.view.errorDialogs[1],
              "Some error occured while receiving the screenshot!\r\rMore info:\rErrorclass: ELinkError\r"
              "Message: \rRequstion ACK not received. Transfer aborted.");
    EXPECT_EQ(rig.view.memo.back(), "A screenshot was grabbed but aborted by an error (ELinkError).");
}

TEST_F(Screenshot, DamagedChecksumIsAnErrorButThePictureStays)
{
    rig.calc.LoadDemoContent();
    rig.calculator.faults.damageScreenshot = true;
    EXPECT_FALSE(Grab());
    EXPECT_EQ(Screen(), rig.calc.screen);
    ASSERT_EQ(rig.view.errorDialogs.size(), 1u);
    EXPECT_EQ(rig.view.errorDialogs[0],
              "Some error occured while receiving the screenshot!\r\rMore info:\rErrorclass: EDamagedReply\r"
              "Message: \rThe screenshot arrived damaged (checksum error).");
    EXPECT_EQ(rig.view.memo,
              std::vector<std::string>{"A screenshot was grabbed but aborted by an error (EDamagedReply)."});
    // The calculator was released all the same.
    EXPECT_EQ(rig.calculator.Received().back().cmd, Cmd::ACK);
    EXPECT_EQ(rig.view.nextClicks, 1);
}

TEST_F(Screenshot, AbortKeepsTheRowsReceivedSoFar)
{
    rig.calc.screen.assign(VirtualTI92::kScreenBytes, '\x5A');  // something in every row
    int rows = 0;
    rig.pump.hook = [&] {
        if (++rows == 50)
            rig.link.Aborted = 1;
    };
    EXPECT_FALSE(Grab());
    EXPECT_EQ(rig.view.memo.back(), "A screenshot was grabbed but aborted by an error (EUserError).");
    const std::string got = Screen();
    // Rows drawn before the abort are there; the rest stays white.
    const size_t drawn = got.find_last_not_of('\0') / ScreenCanvas::kRowBytes + 1;
    ASSERT_GT(drawn, 30u);
    EXPECT_LT(drawn, 128u);
    EXPECT_EQ(got.substr(0, (drawn - 1) * 30), rig.calc.screen.substr(0, (drawn - 1) * 30));
}

TEST_F(Screenshot, WhatAnEarlierRunLeftOnTheLineIsDroppedFirst)
{
    rig.calculator.SendShort(Cmd::EOT);  // an answer nobody read
    EXPECT_TRUE(Grab());
    EXPECT_EQ(Screen(), rig.calc.screen);
}
