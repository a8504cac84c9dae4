// The serial link at the line's pace: long packets in slices, the reply's
// time-out counted from when the packet can have left the line, and the
// quiet-line wait only where the line may still carry an answer.
#include <gtest/gtest.h>

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

TEST_F(PacedLink, DeepBufferTakesThePacketAtOnceAndTheAckComesAfterItsLineTime)
{
    const std::string packet(32000, 'x');
    link.SendBytes(packet);
    ASSERT_EQ(line->written.size(), packet.size());
    const uint32_t sent = clock.Now();
    const int pumpsBefore = pump.calls;
    // The calculator reads at 9600 baud and answers once it has it all.
    line->onWait = [&] {
        clock.Advance(10);
        if (clock.Now() - sent >= LineMs(packet.size()) && line->input.empty())
            line->Feed(kAck);
    };
    EXPECT_TRUE(link.GetAck());
    EXPECT_GE(clock.Now() - sent, LineMs(packet.size()) - 2000);
    EXPECT_GT(pump.calls - pumpsBefore, 100) << "the window is served while the line carries the packet";
}

TEST_F(PacedLink, AbortDuringALongPacketActsWithinOneSliceAndEventsRunMeanwhile)
{
    // A UART: half a slice at a time, room again when the line has sent it.
    line->acceptAtOnce = link.SliceBytes() / 2;
    line->onRoomWait = [&] { clock.Advance(50); };
    size_t writtenAtAbort = 0;
    pump.hook = [&] {
        if (pump.calls == 20) {
            link.Aborted = 1;
            writtenAtAbort = line->written.size();
        }
    };
    EXPECT_THROW(link.SendBytes(std::string(20000, 'x')), EUserError);
    EXPECT_EQ(pump.calls, 20);
    EXPECT_GE(writtenAtAbort, 19 * line->acceptAtOnce) << "a slice went out between events";
    EXPECT_LE(line->written.size(), writtenAtAbort + link.SliceBytes());
}

TEST_F(PacedLink, SendTimesOutWhenTheDeviceTakesNothing)
{
    line->acceptAtOnce = 0;
    line->onRoomWait = [&] { clock.Advance(100); };
    const uint32_t start = clock.Now();
    try {
        link.SendBytes(std::string(1000, 'x'));
        FAIL() << "no time-out";
    } catch (const ELinkError& e) {
        EXPECT_STREQ(e.what(), "Timeout occured when sending byte.\r-1 bit was sent ok.");
    }
    EXPECT_GT(clock.Now() - start, 2000 + LineMs(1000));
    EXPECT_LT(clock.Now() - start, 2000 + LineMs(1000) + 300);
    EXPECT_TRUE(line->written.empty());
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
