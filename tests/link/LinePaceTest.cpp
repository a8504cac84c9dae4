// The serial link at the line's pace: long packets in slices, the reply's
// time-out counted from when the packet can have left the line, and the
// quiet-line wait only where the line may still carry an answer.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include "link/Exceptions.h"
#include "link/PacketCheck.h"
#include "link/Ti92Link.h"
#include "tests/support/ScriptedLink.h"

namespace {

const std::string kAck("\x89\x56\x00\x00", 4);

struct PacedLink : ::testing::Test, ScriptedLink {
    void SetUp() override
    {
        OpenLine();
        link.TimeOut = 2000;
    }
    // Line time of `bytes` at 9600 baud, ten bits each, in ms.
    static uint32_t LineMs(size_t bytes) { return static_cast<uint32_t>(bytes * 10000 / 9600); }
};

TEST_F(PacedLink, ADeviceThatTakesEverythingIsHandedTheLinesPaceAndTheAckWaitsForTheLine)
{
    const std::string packet(32000, 'x');
    line->onPause = [&](int ms) { clock.Advance(static_cast<uint32_t>(ms)); };
    const uint32_t start = clock.Now();
    size_t mostAhead = 0;
    line->onWrite = [&](uint8_t) {
        const size_t carried = (clock.Now() - start) * 9600 / 10000;
        mostAhead = std::max(mostAhead, line->written.size() - std::min(carried, line->written.size()));
    };
    link.SendBytes(packet);
    ASSERT_EQ(line->written.size(), packet.size());
    EXPECT_LE(mostAhead, link.SliceBytes() + 2) << "never more than a slice beyond the line";
    EXPECT_GE(clock.Now() - start, LineMs(packet.size()) - 100);
    // The calculator answers once the line has carried it all.
    const uint32_t sent = clock.Now();
    line->onWait = [&] {
        clock.Advance(10);
        if (clock.Now() - start >= LineMs(packet.size()) && line->input.empty())
            line->Feed(kAck);
    };
    EXPECT_TRUE(link.GetAck());
    EXPECT_LT(clock.Now() - sent, 200u);
}

TEST_F(PacedLink, TheUsbCableIsNotHeldToTheSerialLinesPace)
{
    link.UsbCable = port.get();
    link.Cabletype = 4;
    int pauses = 0;
    line->onPause = [&](int) { ++pauses; };
    const uint32_t start = clock.Now();
    link.SendBytes(std::string(32000, 'x'));
    EXPECT_EQ(line->written.size(), 32000u);
    EXPECT_EQ(pauses, 0);
    EXPECT_LT(clock.Now() - start, 500u);
}

TEST_F(PacedLink, AbortDuringALongPacketActsWithinOneSliceAndThrowsAwayWhatTheDeviceHolds)
{
    line->onPause = [&](int ms) { clock.Advance(static_cast<uint32_t>(ms)); };
    const uint32_t start = clock.Now();
    pump.hook = [&] {
        if (pump.calls == 20)
            link.Aborted = 1;
    };
    EXPECT_THROW(link.SendBytes(std::string(20000, 'x')), EUserError);
    EXPECT_EQ(pump.calls, 20);
    EXPECT_LE(line->written.size(), (clock.Now() - start) * 9600 / 10000 + link.SliceBytes());
    EXPECT_EQ(line->outputDiscards, 1);
}

// A device that takes `after` bytes, then nothing until `stallMs` after the
// line is free of them (0: never again).
struct StallCase {
    const char* name;
    size_t after;
    uint32_t stallMs;
};

struct DeviceStall : PacedLink, ::testing::WithParamInterface<StallCase> {};

TEST_P(DeviceStall, TheSendTimeOutRunsFromWhenTheLineIsFree)
{
    const StallCase& c = GetParam();
    const std::string packet(1000, 'x');
    const uint32_t start = clock.Now();
    const uint32_t lineFree = start + LineMs(c.after);
    line->onPause = [&](int ms) { clock.Advance(static_cast<uint32_t>(ms)); };
    line->onWrite = [&](uint8_t) {
        if (line->written.size() == c.after)
            line->acceptAtOnce = 0;
    };
    if (c.after == 0)
        line->acceptAtOnce = 0;
    line->onRoomWait = [&] {
        clock.Advance(50);
        if (c.stallMs > 0 && clock.Now() >= lineFree + c.stallMs)
            line->acceptAtOnce = SIZE_MAX;
    };
    try {
        link.SendBytes(packet);
        EXPECT_GT(c.stallMs, 0u) << "no time-out";
        EXPECT_EQ(line->written.size(), packet.size());
    } catch (const ELinkError& e) {
        EXPECT_EQ(c.stallMs, 0u) << e.what();
        EXPECT_STREQ(e.what(), "Timeout occured when sending byte.\r-1 bit was sent ok.");
        EXPECT_GT(clock.Now(), lineFree + 2000);
        EXPECT_LT(clock.Now(), lineFree + 2000 + 300);
        EXPECT_EQ(line->written.size(), c.after);
    }
}

INSTANTIATE_TEST_SUITE_P(Devices, DeviceStall,
                         ::testing::Values(StallCase{"TakesNothing", 0, 0}, StallCase{"StuckAfter480Bytes", 480, 0},
                                           StallCase{"SlowerThanTheLineButNotStuck", 480, 1500}),
                         [](const ::testing::TestParamInfo<StallCase>& info) { return std::string(info.param.name); });

// After a packet cut short, whatever follows on this line (the next
// conversation, or closing it for the next program) waits out the line time
// the account still has and the calculator's giving up of the half packet.
TEST_F(PacedLink, ACutPacketIsWaitedOutBeforeTheNextConversationAndBeforeClosing)
{
    const std::function<void()> next[] = {[&] { link.PrepareLine(); }, [&] { link.Close(); }};
    for (const auto& after : next) {
        OpenLine();
        link.Aborted = 0;
        pump.hook = [&] {
            if (line->written.size() > 1000)
                link.Aborted = 1;
        };
        EXPECT_THROW(link.SendBytes(std::string(5000, 'x')), EUserError);
        pump.hook = nullptr;
        link.Aborted = 0;
        const uint32_t cut = clock.Now();
        after();
        EXPECT_GE(clock.Now() - cut, Ti92Link::kCutPacketQuietMs);
        EXPECT_GE(line->outputDiscards, 1);
    }
}

// What happened before the next conversation, and whether it waits for a
// quiet line.
struct QuietCase {
    const char* name;
    std::function<void(PacedLink&)> before;
    bool waits;
};

struct QuietLineWait : PacedLink, ::testing::WithParamInterface<QuietCase> {};

TEST_P(QuietLineWait, OnlyWhenTheLineMayStillCarryAnAnswer)
{
    GetParam().before(*this);
    link.Aborted = 0;
    line->Feed("stale");
    const uint32_t start = clock.Now();
    link.PrepareLine();
    const uint32_t took = clock.Now() - start;
    EXPECT_TRUE(line->input.empty()) << "input is purged either way";
    if (GetParam().waits)
        EXPECT_GE(took, Ti92Link::kQuietLineMs);
    else
        EXPECT_LT(took, 50u);
}

void CleanConversation(PacedLink& t)
{
    t.link.PrepareLine();
    t.line->onWrite = [&t](uint8_t) {
        if (t.line->written.size() == 4)
            t.line->Feed(kAck);
    };
    t.link.SendReady();
    ASSERT_TRUE(t.link.GetAck());
    t.line->onWrite = nullptr;
}

INSTANTIATE_TEST_SUITE_P(Conversations, QuietLineWait,
                         ::testing::Values(QuietCase{"FirstAfterOpening", [](PacedLink&) {}, true},
                                           QuietCase{"AfterACleanOne", CleanConversation, false},
                                           QuietCase{"AfterTwoCleanOnes",
                                                     [](PacedLink& t) {
                                                         CleanConversation(t);
                                                         t.line->written.clear();
                                                         CleanConversation(t);
                                                     },
                                                     false},
                                           QuietCase{"AfterAnAbort",
                                                     [](PacedLink& t) {
                                                         t.link.PrepareLine();
                                                         t.link.Aborted = 1;
                                                         EXPECT_THROW(t.link.SendReady(), EUserError);
                                                     },
                                                     true},
                                           QuietCase{"AfterATimeOut",
                                                     [](PacedLink& t) {
                                                         t.link.PrepareLine();
                                                         EXPECT_THROW(t.link.ReceiveByte(), ELinkError);
                                                     },
                                                     true},
                                           QuietCase{"AfterADamagedReply",
                                                     [](PacedLink& t) {
                                                         t.link.PrepareLine();
                                                         t.line->Feed(std::string("\x89\x15\x01\x00\x05\x07\x00", 7));
                                                         PacketSum sum;
                                                         ReceivePacketHead(t.link, "the data");
                                                         ReceiveBytes(t.link, 1, &sum);
                                                         EXPECT_THROW(ReceiveChecksum(t.link, sum, "the data"),
                                                                      EDamagedReply);
                                                     },
                                                     true},
                                           QuietCase{"AfterAnUnexpectedReply",
                                                     [](PacedLink& t) {
                                                         t.link.PrepareLine();
                                                         t.line->Feed(std::string("\x89\x92\x00\x00", 4));
                                                         EXPECT_FALSE(t.link.GetAck());
                                                     },
                                                     true},
                                           QuietCase{"AfterTheLineWasReopened",
                                                     [](PacedLink& t) {
                                                         t.link.PrepareLine();
                                                         t.port->ClosePort();
                                                     },
                                                     true}),
                         [](const ::testing::TestParamInfo<QuietCase>& info) { return std::string(info.param.name); });

// The ready check keeps its message but says what went wrong beneath it,
// and lets an abort through as an abort.
TEST_F(PacedLink, CheckReadyNamesTheCauseAndLetsAnAbortPass)
{
    const std::string notReady =
        "Calculator is not ready!\r* Check the cable\r* Be sure that you are in homescreen (press <diamond> and Q)";
    struct Case {
        std::function<void()> arrange;
        std::string cause;  // empty: the abort passes
    };
    const Case cases[] = {
        {[&] { line->broken = true; }, "\rCause: /dev/ttyS1: the device is gone"},
        {[] {}, "\rCause: Timeout occured when receiving byte."},
        {[&] {
             pump.hook = [&] { link.Aborted = 1; };
             line->acceptAtOnce = 1;
         },
         ""},
    };
    for (const Case& c : cases) {
        line->broken = false;
        line->acceptAtOnce = SIZE_MAX;
        link.Aborted = 0;
        pump.hook = nullptr;
        c.arrange();
        try {
            link.CheckReady();
            ADD_FAILURE() << "no error";
        } catch (const EUserError& e) {
            EXPECT_TRUE(c.cause.empty()) << e.what();
            EXPECT_STREQ(e.what(), "Operation aborted.");
        } catch (const ELinkError& e) {
            const std::string text = e.what();
            EXPECT_EQ(text.rfind(notReady + c.cause, 0), 0u) << text;
        }
    }
}

}  // namespace
