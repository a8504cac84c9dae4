#include <gtest/gtest.h>

#include <memory>

#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/Ti92Link.h"
#include "tests/support/ScriptedLink.h"

namespace {

struct Lamp : ReadyLamp {
    void SetBrushColor(uint32_t rgb) override { colours.push_back(rgb); }
    std::vector<uint32_t> colours;
};

// The link object on the graph-link cable with a scripted line.
struct SerialLink : ::testing::Test, ScriptedLink {
    Lamp lamp;

    void SetUp() override
    {
        OpenLine();
        link.CalcReadyIndicator = &lamp;
    }
    // Answers once the computer has written a whole 4-byte packet.
    void ReplyOnWrite(const std::string& reply)
    {
        auto count = std::make_shared<int>(0);
        line->onWrite = [this, reply, count](uint8_t) {
            if (++*count < 4)
                return;
            line->Feed(reply);
            line->onWrite = nullptr;
        };
    }
    static std::string Bytes(std::initializer_list<int> v)
    {
        std::string s;
        for (int b : v)
            s.push_back(static_cast<char>(b));
        return s;
    }
};

TEST_F(SerialLink, FixedPacketsAndWordsOnTheWire)
{
    link.SendAck();
    link.SendReady();
    link.SendCts();
    EXPECT_EQ(line->written, Bytes({0x09, 0x56, 0, 0, 0x09, 0x68, 0, 0, 0x09, 0x09, 0, 0}));

    line->written.clear();
    EXPECT_EQ(link.SendWord(0x1234), Bytes({0x34, 0x12}));
    EXPECT_EQ(link.SendWord(0xFF00), Bytes({0x00, 0xFF}));
    EXPECT_EQ(link.SendWord(0xFFFF), Bytes({0xFF, 0xFF}));
    EXPECT_EQ(line->written, Bytes({0x34, 0x12, 0x00, 0xFF, 0xFF, 0xFF}));

    line->written.clear();
    line->writes = 0;
    const std::string request = Bytes({0x09, 0xA2, 0x06, 0x00, 0, 0, 0, 0, 0x19, 0x00, 0x19, 0x00});
    link.SendString(request);
    link.SendString("");
    EXPECT_EQ(line->written, request);
    EXPECT_EQ(line->writes, 1);  // a whole packet, not a drained write per byte
}

TEST_F(SerialLink, GetAckAcceptsAckAndCtsAndConsumesTheWholeReply)
{
    line->Feed(Bytes({0x89, 0x56, 0, 0, 0x89, 0x09, 0, 0}));
    EXPECT_TRUE(link.GetAck());
    EXPECT_TRUE(link.GetAck());

    line->Feed(Bytes({0x89, 0x92, 0, 0, 0x77}));
    EXPECT_FALSE(link.GetAck());
    EXPECT_EQ(line->input.size(), 1u);  // all four bytes of the EOT were read
}

TEST_F(SerialLink, GetAckSkipsLeadingGarbage)
{
    line->Feed(Bytes({0x00, 0xFF, 0x09, 0x12, 0x89, 0x56, 0, 0}));
    EXPECT_TRUE(link.GetAck());
    EXPECT_TRUE(line->input.empty());
}

TEST_F(SerialLink, GetAckGivesUpOnGarbageAfterTwoSeconds)
{
    clock.SetStep(100);
    line->Feed(std::string(100, '\x42'));
    EXPECT_FALSE(link.GetAck());
}

TEST_F(SerialLink, GetCtsStopsAfterAWrongCommand)
{
    line->Feed(Bytes({0x89, 0x56, 0x01, 0x02}));
    EXPECT_FALSE(link.GetCts());
    EXPECT_EQ(line->input.size(), 2u);

    line->input.clear();
    line->Feed(Bytes({0x89, 0x09, 0xFF, 0xFF}));
    EXPECT_TRUE(link.GetCts());
    EXPECT_TRUE(line->input.empty());
}

// A refusal is a SKIP packet with one reason byte: read whole, acknowledged
// and named; a SKIP that is not whole is damage.
TEST_F(SerialLink, SkipIsReadWholeAcknowledgedAndNamed)
{
    struct Row {
        std::string reply;
        const char* problem;
        bool acknowledged;
    };
    for (const Row& r : {Row{Bytes({0x89, 0x36, 1, 0, 3, 3, 0}), "was refused: out of memory", true},
                         Row{Bytes({0x89, 0x36, 1, 0, 1, 1, 0}), "was refused: the user exited", true},
                         Row{Bytes({0x89, 0x36, 1, 0, 9, 9, 0}), "was refused: reason 9", true},
                         Row{Bytes({0x89, 0x36, 1, 0, 3, 4, 0}), "got a damaged answer", false},
                         Row{Bytes({0x89, 0x36, 0, 0}), "got a damaged answer", false}}) {
        for (const bool cts : {false, true}) {
            SCOPED_TRACE(std::string(r.problem) + (cts ? " for a CTS" : " for an ACK"));
            line->written.clear();
            line->input.clear();
            line->Feed(r.reply);
            EXPECT_FALSE(cts ? link.GetCts() : link.GetAck());
            EXPECT_EQ(AckProblem(link), r.problem);
            EXPECT_EQ(line->written, r.acknowledged ? Bytes({0x09, 0x56, 0, 0}) : "");
            EXPECT_TRUE(!r.acknowledged || line->input.empty());
        }
    }
    line->Feed(Bytes({0x89, 0x36, 1, 0, 3, 3, 0}));
    EXPECT_FALSE(link.GetAck());
    try {
        ThrowNoAck(link, "Memory full?", "The header");
        FAIL();
    } catch (const ECalculatorError& e) {
        EXPECT_STREQ(e.what(), "Memory full?\rThe calculator's reason: out of memory.");
    }
    line->Feed(Bytes({0x89, 0x36, 1, 0, 2, 2, 0}));
    try {
        ExpectCommand(ReceivePacketHead(link, "the header of main\\a"), {0x06}, "the header of main\\a");
        FAIL();
    } catch (const ECalculatorError& e) {
        EXPECT_STREQ(e.what(), "The header of main\\a was refused: skipped.");
    }
}

TEST_F(SerialLink, ReceiveReturnsFullByteRangeAndTimesOutOnSilence)
{
    line->Feed(Bytes({0xFF, 0x00}));
    EXPECT_EQ(link.ReceiveByte(), 255);
    EXPECT_EQ(link.ReceiveByte(), 0);
    try {
        link.ReceiveByte();
        FAIL();
    } catch (const ELinkError& e) {
        EXPECT_STREQ(e.what(), "Timeout occured when receiving byte.");
    }
    EXPECT_GT(line->waits, 100);  // the silent wait slept on the line instead of spinning
    EXPECT_GT(pump.calls, 0);     // and let the window run after 700 ms
}

TEST_F(SerialLink, SilentWaitLetsEventsRunFrom700MsAndTimeOutBeatsAbort)
{
    std::vector<uint32_t> pumped;
    const uint32_t start = clock.Now() + 1;
    pump.hook = [&] { pumped.push_back(clock.Now() - start); };
    EXPECT_THROW(link.ReceiveByte(), ELinkError);
    ASSERT_FALSE(pumped.empty());
    EXPECT_GT(pumped.front(), 700u);
    EXPECT_LT(pumped.front(), 705u);
    EXPECT_GT(pumped.back(), 1100u);

    pump.hook = nullptr;
    link.Aborted = 1;
    clock.SetStep(link.TimeOut + 1);
    try {
        link.ReceiveByte();
        FAIL();
    } catch (const ELinkError& e) {
        EXPECT_STREQ(e.what(), "Timeout occured when receiving byte.");
    }
    EXPECT_THROW(link.SendByte(1), ELinkError);
}

TEST_F(SerialLink, AbortIsReportedAfterTheByte)
{
    link.Aborted = 1;
    line->Feed(Bytes({0x42}));
    EXPECT_THROW(link.ReceiveByte(), EUserError);
    EXPECT_THROW(link.SendByte(1), EUserError);
    EXPECT_EQ(line->written, Bytes({1}));  // the byte still went out
}

TEST_F(SerialLink, AbortPressedDuringAWaitEndsIt)
{
    pump.hook = [this] {
        link.Aborted = 1;
        line->Feed("x");
    };
    EXPECT_THROW(link.ReceiveByte(), EUserError);
}

TEST_F(SerialLink, SendTimeoutOnTheSerialCableCountsMinusOne)
{
    clock.SetStep(2000);
    try {
        link.SendByte(0x12);
        FAIL();
    } catch (const ELinkError& e) {
        EXPECT_STREQ(e.what(), "Timeout occured when sending byte.\r-1 bit was sent ok.");
    }
}

TEST_F(SerialLink, SendingDiscardsUnreadInput)
{
    line->Feed("stale");
    link.SendByte(0x09);
    EXPECT_TRUE(line->input.empty());
}

TEST_F(SerialLink, SendBytesWritesOnceWithTheChecksOfSendByte)
{
    line->Feed("stale");
    link.SendBytes("abc");
    EXPECT_EQ(line->written, "abc");
    EXPECT_EQ(line->writes, 1);
    EXPECT_TRUE(line->input.empty());

    link.Aborted = 1;
    EXPECT_THROW(link.SendBytes("de"), EUserError);
    link.Aborted = 0;
    clock.SetStep(2000);
    EXPECT_THROW(link.SendBytes("fg"), ELinkError);
    EXPECT_EQ(line->written, "abcdefg");
}

TEST_F(SerialLink, CheckReadyLightsTheLampAndPauses)
{
    ReplyOnWrite(Bytes({0x89, 0x56, 0, 0}));
    EXPECT_TRUE(link.CheckReady());
    EXPECT_EQ(line->written, Bytes({0x09, 0x68, 0, 0}));
    EXPECT_EQ(lamp.colours, std::vector<uint32_t>{kLampGreen});
    EXPECT_EQ(clock.slept, 200u);

    // A refusal is a plain false: no error, lamp unchanged.
    ReplyOnWrite(Bytes({0x89, 0x92, 0, 0}));
    EXPECT_FALSE(link.CheckReady());
    EXPECT_EQ(lamp.colours.size(), 1u);
}

TEST_F(SerialLink, CheckReadyOnASilentCalculatorTurnsTheLampRed)
{
    uint32_t start = clock.Now();
    try {
        link.CheckReady();
        FAIL();
    } catch (const ELinkError& e) {
        EXPECT_STREQ(e.what(), "Calculator is not ready!\r* Check the cable\r* Be sure that you are in "
                               "homescreen (press <diamond> and Q)\rCause: Timeout occured when receiving byte.");
    }
    EXPECT_EQ(lamp.colours, std::vector<uint32_t>{kLampRed});
    EXPECT_GT(clock.Now() - start, 1500u);  // gave the calculator its TimeOut
    EXPECT_LT(clock.Now() - start, 1800u);
}

TEST_F(SerialLink, OpenReportsAPortThatCannotBeOpened)
{
    port->ClosePort();
    line->openable = false;
    dialogs.strict = true;
    dialogs.ExpectMessage(MsgResult::Ok);
    link.Open();
    ASSERT_EQ(dialogs.Messages(),
              std::vector<std::string>{
                  "An error occurred while opening the cable's device!\r/dev/ttyS1: cannot be opened"});
    EXPECT_EQ(dialogs.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(pump.calls, 1);
}

TEST(LinkObject, DefaultsAndCalculatorModels)
{
    AutoClock clock;
    NullEventPump pump;
    ScriptedDialogs dialogs;
    NoParallelPort port;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, port}};
    EXPECT_EQ(link.PortAdress, 888);
    EXPECT_EQ(link.TimeOut, 1500);
    EXPECT_EQ(link.Cabletype, 1);
    EXPECT_EQ(link.Calculator(), 92);
    EXPECT_EQ(link.TypeNames[0x0B], "text");
    EXPECT_TRUE(dialogs.shown.empty());

    link.SetCalculator(82);
    EXPECT_EQ(link.MachineIdSent(), 0x02);
    EXPECT_EQ(link.MachineIdExpected(), 0x82);
    link.SetCalculator(83);
    EXPECT_EQ(link.MachineIdSent(), 0x02);  // unknown models keep the ids
    link.SetCalculator(85);
    EXPECT_EQ(link.MachineIdExpected(), 0x85);
    EXPECT_EQ(link.Calculator(), 92);
    EXPECT_EQ(dialogs.Messages(),
              (std::vector<std::string>{"Sorry, TI82 not yet supported!", "Only the TI92 is supported yet!",
                                        "Sorry, TI85 not yet supported!"}));
}

TEST(LinkObject, FailingMessageBoxMarksTheModelUnknown)
{
    struct ThrowingDialogs : ScriptedDialogs {
        MsgResult MessageBox(const std::string&, const std::string&, MsgIcon, MsgButtons) override
        {
            throw std::runtime_error("no screen");
        }
    } dialogs;
    AutoClock clock;
    NullEventPump pump;
    NoParallelPort port;
    Ti92Link link{LinkEnvironment{clock, pump, dialogs, port}};
    link.SetCalculator(1);
    EXPECT_EQ(link.Calculator(), -1);
}

}  // namespace

TEST_F(SerialLink, PrepareLineWaitsForQuietDropsWhatCameAndReopens)
{
    // Bytes for the first 1000 ms, then quiet: done 300 ms after the last.
    uint32_t start = clock.Now();
    line->onWait = [&] {
        if (clock.Now() - start < 1000)
            line->Feed("x");
    };
    link.PrepareLine();
    EXPECT_TRUE(line->input.empty());
    EXPECT_GE(clock.Now() - start, 1300u);
    EXPECT_LT(clock.Now() - start, 1400u);

    // Bytes without end: given up after 3000 ms, what came dropped.
    link.MarkLineDirty();
    start = clock.Now();
    line->onWait = [&] { line->Feed("x"); };
    link.PrepareLine();
    EXPECT_TRUE(line->input.empty());
    EXPECT_GE(clock.Now() - start, 3000u);
    EXPECT_LT(clock.Now() - start, 3100u);

    // A port that is not open is opened first; one that cannot be says why.
    line->onWait = nullptr;
    port->ClosePort();
    link.PrepareLine();
    EXPECT_TRUE(port->IsOpen());
    port->ClosePort();
    line->openable = false;
    try {
        link.PrepareLine();
        ADD_FAILURE() << "no error";
    } catch (const ELinkError& e) {
        EXPECT_STREQ(e.what(), "An error occurred while opening the cable's device!\r/dev/ttyS1: cannot be opened");
    }
}
